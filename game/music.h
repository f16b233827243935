#pragma once
// The gift's music: the MIDI file the gift carries, read into memory for the
// music player. Nothing is written to disk: a file in a shared temporary
// folder could be taken over by another user or left behind by a player
// that was killed.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdint>
#include <span>

#include "game/gifttrailer.h"

// The music region of the open gift file. Empty when the gift has no music
// (MusicLength 0 or less), when the region lies outside the file or when it
// cannot be read whole: the gift then plays without music.
QByteArray ExtractMusic(QFile& gift, const TGiftTrailer& trailer);

// Why file is not a standard MIDI file the synthesizer plays, or empty when
// it is one. The player refuses such a tune, and a gift is never made with
// one: the synthesizer would end it at once, and the loop would start it
// again and again.
QString MidiProblem(std::span<const std::uint8_t> file);
