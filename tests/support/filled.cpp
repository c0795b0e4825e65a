// Deterministic fillers for the test structures.
#include "support/filled.h"

namespace kelotest {

static void FillPoint(Point& p, int seed) {
  p.x = seed * 1000 + 7;
  p.small = static_cast<char>(-seed);
  p.big = -1234567890123ll * seed;
  p.ratio = 0.5 + seed;
  p.when = 1700000000000ull + static_cast<unsigned long long>(seed);
  p.flag = seed % 2 == 1;
  const std::u16string label =
      u"caf\u00e9 \u20ac" + std::u16string(static_cast<size_t>(seed), u'x');
  p.label.Copy(reinterpret_cast<const short*>(label.data()),
               static_cast<unsigned int>(label.size()));
  const char blob[] = {1, 2, 3, static_cast<char>(0xFF), 0};
  p.blob.Copy(blob, static_cast<unsigned int>(seed % 5));
}

void FillCrate(Crate& crate) {
  crate.name.Copy("crate \xe9");
  crate.box.id = 42;
  FillPoint(crate.box.corner, 1);
  for (int i = 0; i < 3; ++i) {
    Point* p = new Point();
    FillPoint(*p, i + 2);
    if (i == 1) p->SetNull(true);
    crate.box.points.Add(*p);
  }
}

}  // namespace kelotest
