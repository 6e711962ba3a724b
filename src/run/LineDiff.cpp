#include "run/LineDiff.h"

#include <algorithm>

namespace pw {

namespace {

using Lines = std::vector<std::string>;

// The edit script of old[a0, a1) against new[b0, b1), appended to `out`.
void Middle(const Lines& a, size_t a0, size_t a1, const Lines& b, size_t b0, size_t b1, std::vector<LineEdit>* out) {
  const long n = static_cast<long>(a1 - a0), m = static_cast<long>(b1 - b0);
  const long most = std::min<long>(n + m, static_cast<long>(kMostChanges));
  const long offset = most + 1;
  std::vector<long> v(2 * offset + 1, 0);
  std::vector<std::vector<long>> trace;
  long found = -1;
  for (long d = 0; d <= most && found < 0; ++d) {
    trace.push_back(v);
    for (long k = -d; k <= d; k += 2) {
      long x = (k == -d || (k != d && v[offset + k - 1] < v[offset + k + 1])) ? v[offset + k + 1]
                                                                              : v[offset + k - 1] + 1;
      long y = x - k;
      while (x < n && y < m && a[a0 + x] == b[b0 + y]) ++x, ++y;
      v[offset + k] = x;
      if (x >= n && y >= m) {
        found = d;
        break;
      }
    }
  }
  if (found < 0) {  // too many changes to tell apart: the part counts as replaced whole
    for (size_t i = a0; i < a1; ++i) out->push_back({LineEdit::Kind::kRemove, i, b0});
    for (size_t j = b0; j < b1; ++j) out->push_back({LineEdit::Kind::kAdd, a1, j});
    return;
  }
  // Walk back through the trace, from the end to the start.
  std::vector<LineEdit> reversed;
  long x = n, y = m;
  for (long d = found; d > 0; --d) {
    const std::vector<long>& before = trace[d];
    const long k = x - y;
    const bool down = k == -d || (k != d && before[offset + k - 1] < before[offset + k + 1]);
    const long prev_k = down ? k + 1 : k - 1;
    const long prev_x = before[offset + prev_k], prev_y = prev_x - prev_k;
    while (x > prev_x && y > prev_y) {
      --x, --y;
      reversed.push_back({LineEdit::Kind::kKeep, a0 + x, b0 + y});
    }
    if (down) {
      --y;
      reversed.push_back({LineEdit::Kind::kAdd, a0 + x, b0 + y});
    } else {
      --x;
      reversed.push_back({LineEdit::Kind::kRemove, a0 + x, b0 + y});
    }
  }
  while (x > 0 && y > 0) {
    --x, --y;
    reversed.push_back({LineEdit::Kind::kKeep, a0 + x, b0 + y});
  }
  out->insert(out->end(), reversed.rbegin(), reversed.rend());
}

}  // namespace

std::vector<LineEdit> DiffLines(const Lines& a, const Lines& b) {
  std::vector<LineEdit> edits;
  // The same lines at both ends need no search.
  size_t head = 0;
  while (head < a.size() && head < b.size() && a[head] == b[head]) ++head;
  size_t tail = 0;
  while (tail < a.size() - head && tail < b.size() - head && a[a.size() - 1 - tail] == b[b.size() - 1 - tail]) ++tail;
  for (size_t i = 0; i < head; ++i) edits.push_back({LineEdit::Kind::kKeep, i, i});
  Middle(a, head, a.size() - tail, b, head, b.size() - tail, &edits);
  for (size_t i = tail; i > 0; --i) edits.push_back({LineEdit::Kind::kKeep, a.size() - i, b.size() - i});
  return edits;
}

}  // namespace pw
