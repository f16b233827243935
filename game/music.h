#pragma once
// The gift's music, copied to a temporary MIDI file for the music player.

#include <QFile>
#include <QString>

#include "game/gifttrailer.h"

// The temporary music file of this process: "jig" and the process number,
// with the extension ".mid", in the temporary folder. Two gifts running at
// once never share it.
QString MusicFileName();

// Copies the music region of the open gift file to MusicFileName() and
// returns that path. Empty when the gift has no music (MusicLength 0 or
// less, or a region that lies outside the file), and when the file could not
// be written, which an error box reports.
QString ExtractMusic(QFile& gift, const TGiftTrailer& trailer);
