#include "game/soundeffects.h"

namespace {

TSoundEffects* soundEffects = nullptr;

}  // namespace

void SetSoundEffects(TSoundEffects* effects) { soundEffects = effects; }

void PlaySoundEntry(int n) {
  if (soundEffects) soundEffects->PlaySoundEntry(n);
}
