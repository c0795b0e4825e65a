// Record files for the out-of-process peers.
#include "peer_io.h"

#include <cstdio>
#include <cstdlib>

namespace kelointerop {

bool ReadFile(const std::string& path, std::string& content) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  content.clear();
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) content.append(buf, n);
  const bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

bool WriteFile(const std::string& path, const std::string& content) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(content.data(), 1, content.size(), f) == content.size();
  return std::fclose(f) == 0 && ok;
}

static void PutBig(std::string& out, unsigned long value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

static bool GetBig(const std::string& in, size_t& pos, int bytes, unsigned long& value) {
  if (in.size() - pos < static_cast<size_t>(bytes)) return false;
  value = 0;
  for (int i = 0; i < bytes; ++i) value = (value << 8) | static_cast<unsigned char>(in[pos++]);
  return true;
}

std::string EncodeRecords(const std::vector<PeerRecord>& records) {
  std::string out;
  for (const PeerRecord& r : records) {
    out.push_back(r.frame);
    PutBig(out, r.type.size(), 2);
    out += r.type;
    PutBig(out, r.bytes.size(), 4);
    out += r.bytes;
  }
  return out;
}

bool DecodeRecords(const std::string& content, std::vector<PeerRecord>& records) {
  records.clear();
  size_t pos = 0;
  while (pos < content.size()) {
    PeerRecord r;
    r.frame = static_cast<PeerFrame>(content[pos++]);
    unsigned long n;
    if (!GetBig(content, pos, 2, n) || content.size() - pos < n) return false;
    r.type = content.substr(pos, n);
    pos += n;
    if (!GetBig(content, pos, 4, n) || content.size() - pos < n) return false;
    r.bytes = content.substr(pos, n);
    pos += n;
    records.push_back(r);
  }
  return true;
}

bool RunPeer(const std::string& command, const std::string& work,
             const std::vector<PeerRecord>& records, std::vector<PeerAnswer>& answers,
             std::string& error) {
  answers.clear();
  const std::string in = work + ".in";
  const std::string out = work + ".out";
  std::remove(out.c_str());
  if (!WriteFile(in, EncodeRecords(records))) {
    error = "cannot write " + in;
    return false;
  }
  const std::string line = command + " roundtrip '" + in + "' '" + out + "'";
  if (int rc = std::system(line.c_str()); rc != 0) {
    error = "`" + line + "` failed with status " + std::to_string(rc);
    return false;
  }
  std::string content;
  if (!ReadFile(out, content)) {
    error = "the peer wrote no " + out;
    return false;
  }
  size_t pos = 0;
  while (pos < content.size()) {
    PeerAnswer a;
    a.ok = content[pos++] == 'o';
    unsigned long n;
    if (!GetBig(content, pos, 4, n) || content.size() - pos < n) {
      error = "truncated answer in " + out;
      return false;
    }
    a.bytes = content.substr(pos, n);
    pos += n;
    answers.push_back(a);
  }
  if (answers.size() != records.size()) {
    error = "the peer answered " + std::to_string(answers.size()) + " of " +
            std::to_string(records.size()) + " records";
    return false;
  }
  return true;
}

}  // namespace kelointerop
