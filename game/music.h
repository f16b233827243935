#pragma once
// The gift's music: the MIDI file the gift carries, read into memory for the
// music player. Nothing is written to disk: a file in a shared temporary
// folder could be taken over by another user or left behind by a player
// that was killed.

#include <QByteArray>
#include <QFile>

#include "game/gifttrailer.h"

// The music region of the open gift file. Empty when the gift has no music
// (MusicLength 0 or less), when the region lies outside the file or when it
// cannot be read whole: the gift then plays without music.
QByteArray ExtractMusic(QFile& gift, const TGiftTrailer& trailer);
