#pragma once
// How a release record's fields read where people look at them. The release
// list shows these texts, and the calendar's events take their title and
// price from them, so a release reads the same in both:
//
//   date   "mm/dd" for an exact day, "mm" + 上旬 / 中旬 / 下旬 for a part of
//          the month, 不明 for an unknown date
//   title  the title, then " (volume)" when it has one
//   price  the price in whole units with the thousands grouped ("%.0n"),
//          empty when no price above 0 was given
//
// The text line and the HTML entry write the title as "title(volume)" and an
// unknown date as its stored "mm/dd", and the text line writes every price
// (THtmlBookSaleData::TextLine); those are the saved list's forms and stay
// its own. CP932 in, CP932 out.

#include <string>
#include <string_view>

#include "BookDataListUnit.h"

namespace tembrook {

std::string ListDateText(const TBookSaleRootData& record, std::string_view dateSeparator);
std::string ListTitleText(const TBookSaleRootData& record);
std::string ListPriceText(const TBookSaleRootData& record, std::string_view thousandsSeparator);

// The date of the text line: the list's date, but an unknown date shows its
// stored day as "mm/dd". Appended to out.
void AppendLineDateText(std::string& out, const TBookSaleRootData& record, std::string_view dateSeparator);

}  // namespace tembrook
