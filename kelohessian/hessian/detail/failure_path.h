// Where a read failed, for the modern face: the member names and list indexes that enclose the
// value that could not be read, recorded innermost first as the failure unwinds, and where that
// value began. The classic interface installs none, and then nothing is recorded. Fixed storage:
// recording allocates nothing and cannot fail; a path deeper than kMaxSegments keeps its
// innermost segments. Not installed.
#pragma once

namespace kelo_detail {

struct FailurePath {
  enum : unsigned int { kMaxSegments = 64 };
  struct Segment {
    const char* name;  // a member name (pointing into the input), or null for a list item
    unsigned int length;
    int index;  // the item's index in its list
  };

  Segment segments[kMaxSegments];
  unsigned int count = 0;
  // Where the innermost recorded value began, valid when count > 0.
  unsigned int start = 0;

  void Member(const char* name, unsigned int length, unsigned int valueStart) {
    Push(Segment{name, length, 0}, valueStart);
  }
  void Item(int index, unsigned int itemStart) { Push(Segment{nullptr, 0, index}, itemStart); }

 private:
  void Push(const Segment& segment, unsigned int at) {
    if (count == 0) start = at;
    if (count < kMaxSegments) segments[count++] = segment;
  }
};

}  // namespace kelo_detail
