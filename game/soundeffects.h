#pragma once
// The sound effects player, reached through one seam: the shell installs the
// real player; without one, effects are silent. Tests install a recorder.

class TSoundEffects {
 public:
  virtual ~TSoundEffects() = default;
  // Plays effect n (1 to 5) now, cutting short the one that is sounding.
  virtual void PlaySoundEntry(int n) = 0;
};

// The player stays owned by the caller; nullptr removes it.
void SetSoundEffects(TSoundEffects* effects);
void PlaySoundEntry(int n);
