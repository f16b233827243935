#pragma once
// The busy cursor of long steps (cutting, extracting, drawing, sorting
// colours, rotating), restored on every way out, exceptions included. Without
// a GUI application (tools, tests) it does nothing.

class THourglass {
 public:
  THourglass();
  ~THourglass();
  THourglass(const THourglass&) = delete;
  THourglass& operator=(const THourglass&) = delete;

 private:
  bool shown_;
};
