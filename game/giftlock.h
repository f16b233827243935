#pragma once
// One gift plays in one player at a time: two players of one gift would
// share its recovery file and its saved game, and the one to end last would
// overwrite the other's game. A player holds a lock on a file of the gift's
// in the user's state folder while it runs; the system lets the lock go when
// the player ends in any way, a crash or a kill included, so none is ever
// left held.

#include <QString>

class TGiftLock {
 public:
  enum class TState {
    Held,           // this player holds it: no other player plays the gift
    HeldElsewhere,  // another player plays the gift
    Unavailable     // the lock file cannot be made: nothing is known
  };

  // Tries to take the lock of the file at path, making its folder.
  explicit TGiftLock(const QString& path);
  ~TGiftLock();
  TGiftLock(const TGiftLock&) = delete;
  TGiftLock& operator=(const TGiftLock&) = delete;

  TState State() const { return state_; }

 private:
  int fd_ = -1;
  TState state_ = TState::Unavailable;
};
