// A CKeloOutput whose storage is a caller's std::vector<std::uint8_t>: the one-call encoders of
// kelo.h write the message straight into the vector they hand back, growing it geometrically and
// copying nothing at the end. Not installed.
#pragma once

#include <cstdint>
#include <vector>

#include <kelohessian/hessian/output.h>

namespace kelo_detail {

// Why a mode of CKeloOutput and not a writer of its own: every Serialize (of the catalogue's
// classes and of those a program declares) writes into a CKeloOutput&, so the encoders must hand
// one over, and only the rare slow paths of its appends need to know where the storage lives
// (CKeloOutput::Grow and the part of Append that does not fit call back here). The link is one
// pointer behind the classic fields of CKeloOutput, so their layout, its constructor, growth
// steps and ownership rules stay as they were for every buffer a program constructs.
//
// While Output() is written, the vector's size is the buffer's capacity: the bytes it held are
// overwritten in place; beyond them, small appends go into room zero-filled a piece at a time
// just ahead of the writes (a vector cannot be written beyond its size), and an append larger
// than the room left is inserted at the vector's end. Its capacity at least doubles when it runs
// out. Finish cuts the vector to the bytes written, keeping its capacity; destroyed without a
// successful Finish, it leaves the vector empty. Nothing throws: a vector that cannot grow is
// KELO_E_NO_MEMORY from the Append that needed the room.
class VectorOutput {
 public:
  explicit VectorOutput(std::vector<std::uint8_t>& bytes) noexcept;
  ~VectorOutput();
  VectorOutput(const VectorOutput&) = delete;
  VectorOutput& operator=(const VectorOutput&) = delete;

  CKeloOutput& Output() { return m_output; }
  // Keeps what was written when rc is KELO_OK; returns rc.
  int Finish(int rc) noexcept;

  // For a buffer whose storage is this vector, CKeloOutput::Grow (room for length more bytes
  // behind out's data) and the part of CKeloOutput::Append that does not fit (appends the bytes).
  // KELO_E_NO_MEMORY leaves out unchanged.
  int Grow(CKeloOutput& out, unsigned int length) noexcept;
  int Append(CKeloOutput& out, const char* bytes, unsigned int length) noexcept;

 private:
  std::vector<std::uint8_t>& m_bytes;
  CKeloOutput m_output;
  bool m_kept;
};

}  // namespace kelo_detail
