// One line per measured figure, the same in every benchmark (native, Win32
// in-process, the real programs under Wine), so tests/bench/run.sh can set
// them side by side:
//   FIGURE<TAB>what<TAB>value unit<TAB>reference<TAB>reference value unit<TAB>ratio<TAB>target
// The ratio is value / reference; the target is the ratio it must not pass
// ("-" when the figure has none).
#pragma once

#include <cstdio>

namespace bench {

inline void PrintFigure(const char* what, double value, const char* reference, double referenceValue,
                        const char* unit = "ms", double target = 0) {
  const double ratio = referenceValue > 0 ? value / referenceValue : 0;
  char limit[32] = "-";
  if (target > 0) std::snprintf(limit, sizeof limit, "%.2fx", target);
  std::printf("FIGURE\t%s\t%.3f %s\t%s\t%.3f %s\t%.2fx\t%s\n", what, value, unit, reference,
              referenceValue, unit, ratio, limit);
  std::fflush(stdout);
}

}  // namespace bench
