#include "BookSaleCompare.h"

#include <cstddef>

#include "SjisString.h"

namespace tembrook {

namespace {

constexpr int Sign(std::int64_t value) noexcept { return (value > 0) - (value < 0); }

// Walks one CP932 text byte by byte, folding a-z to A-Z where the byte is a
// single-byte character. Each text keeps its own lead/trail state, because
// the same byte value can be a letter in one text and a trail byte in the other.
class TFoldingReader {
public:
  explicit TFoldingReader(std::string_view text) noexcept : FText(text) {}

  bool AtEnd() const noexcept { return FPos >= FText.size(); }

  unsigned char Next() noexcept {
    const auto b = static_cast<unsigned char>(FText[FPos++]);
    if (FTrailNext) {
      FTrailNext = false;
      return b;  // a trail byte compares by its value
    }
    if (IsLeadByteValue(b)) {
      FTrailNext = true;
      return b;
    }
    if (b >= 'a' && b <= 'z') return static_cast<unsigned char>(b - ('a' - 'A'));
    return b;
  }

private:
  std::string_view FText;
  std::size_t FPos = 0;
  bool FTrailNext = false;
};

}  // namespace

int CompareTextIgnoreAsciiCase(std::string_view text1, std::string_view text2) noexcept {
  TFoldingReader r1(text1);
  TFoldingReader r2(text2);
  while (!r1.AtEnd() && !r2.AtEnd()) {
    const unsigned char b1 = r1.Next();
    const unsigned char b2 = r2.Next();
    if (b1 != b2) return b1 < b2 ? -1 : 1;
  }
  // One is a prefix of the other: the shorter goes first.
  if (text1.size() == text2.size()) return 0;
  return text1.size() < text2.size() ? -1 : 1;
}

int CompareBookSalePrices(TCurrency price1, TCurrency price2) noexcept {
  const std::int64_t a = price1.Raw();
  const std::int64_t b = price2.Raw();
  // The distance in raw units, taken in unsigned arithmetic so that even the
  // extremes of the 64-bit range cannot overflow.
  const bool aLarger = a >= b;
  const std::uint64_t distance = aLarger ? static_cast<std::uint64_t>(a) - static_cast<std::uint64_t>(b)
                                         : static_cast<std::uint64_t>(b) - static_cast<std::uint64_t>(a);
  if (distance < static_cast<std::uint64_t>(TCurrency::kScale)) return 0;  // less than one whole unit apart
  return aLarger ? 1 : -1;
}

int CompareBookSaleRows(const TBookSaleRowRef& item1, const TBookSaleRowRef& item2,
                        std::int32_t sortColumn, bool sortDescending) noexcept {
  const THtmlBookSaleData* r1 = item1.Record;
  const THtmlBookSaleData* r2 = item2.Record;
  if (r1 == nullptr || r2 == nullptr) return 0;

  int result = 0;
  switch (sortColumn) {
    case scCheck:
      result = Sign(static_cast<int>(item1.Checked) - static_cast<int>(item2.Checked));
      break;
    case scDate:
      result = Sign(static_cast<std::int64_t>(r1->RowIndex()) - r2->RowIndex());
      break;
    case scTitle:
      result = CompareTextIgnoreAsciiCase(r1->Title(), r2->Title());
      break;
    case scAuthor:
      result = CompareTextIgnoreAsciiCase(r1->Author(), r2->Author());
      break;
    case scPrice:
      result = CompareBookSalePrices(r1->Price(), r2->Price());
      break;
    case scPublisher:
      result = CompareTextIgnoreAsciiCase(r1->Publisher(), r2->Publisher());
      break;
    default:
      result = 0;
      break;
  }
  return sortDescending ? -result : result;
}

}  // namespace tembrook
