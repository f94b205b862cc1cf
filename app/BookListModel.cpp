#include "BookListModel.h"

#include <algorithm>
#include <exception>
#include <iterator>
#include <optional>
#include <utility>

#include "BookSaleCompare.h"
#include "BookSaleTexts.h"
#include "CharacterReferences.h"
#include "Cp932Codec.h"
#include "Errors.h"
#include "LocaleSettings.h"

namespace tembrook {

struct TBookListModel::TRow {
    std::optional<THtmlBookSaleData> Data;        // empty for a row without a record
    std::array<std::string, kColumnCount> Texts;  // CP932
    // What the title, author and publisher cells show where their text holds
    // character references ("Tom &amp; Lily" shows "Tom & Lily"); made once
    // with the texts, and only for the rows that need it.
    std::unique_ptr<std::array<QString, kColumnCount>> Shown;
    bool Checked = false;

    const THtmlBookSaleData* Record() const noexcept { return Data ? &*Data : nullptr; }

    QString ShownText(std::size_t column) const
    {
        if (Shown && !(*Shown)[column].isNull())
            return (*Shown)[column];
        return FromCP932(Texts[column]);
    }

    void RenderShownTexts()
    {
        for (const std::size_t column :
             {std::size_t{scTitle}, std::size_t{scAuthor}, std::size_t{scPublisher}}) {
            if (Texts[column].find('&') == std::string::npos)
                continue;
            QString decoded = DecodeCharacterReferences(FromCP932(Texts[column]));
            if (!Shown)
                Shown = std::make_unique<std::array<QString, kColumnCount>>();
            (*Shown)[column] = std::move(decoded);
        }
    }
};

TBookListModel::TBookListModel(QObject* parent) : QAbstractTableModel(parent) {}

TBookListModel::~TBookListModel() = default;

TBookListModel::TRow& TBookListModel::RowAt(int row) const noexcept
{
    const auto at = static_cast<std::size_t>(row);
    return *FRows[at < FGapStart ? at : at + FGapSize];
}

// The views ask about the root index and indexes of other models too; those
// have no data here.
bool TBookListModel::IsRowIndex(const QModelIndex& index) const noexcept
{
    return index.isValid() && index.model() == this && index.row() < Count() && index.column() < kColumnCount;
}

int TBookListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Count();
}

int TBookListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QString TBookListModel::ColumnHeader(int column)
{
    switch (column) {
    case scDate:
        return QStringLiteral("発売日");
    case scTitle:
        return QStringLiteral("書名");
    case scAuthor:
        return QStringLiteral("著者名");
    case scPrice:
        return QStringLiteral("価格");
    case scPublisher:
        return QStringLiteral("出版社");
    default:
        return QString();
    }
}

int TBookListModel::ColumnWidth(int column)
{
    static constexpr std::array<int, kColumnCount> kWidths = {20, 50, 250, 120, 60, 100};
    return column >= 0 && column < kColumnCount ? kWidths[static_cast<std::size_t>(column)] : 0;
}

Qt::Alignment TBookListModel::ColumnAlignment(int column)
{
    return (column == scPrice ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

QVariant TBookListModel::data(const QModelIndex& index, int role) const
{
    if (!IsRowIndex(index))
        return {};
    const TRow& row = RowAt(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return row.ShownText(static_cast<std::size_t>(index.column()));
    case Qt::CheckStateRole:
        if (index.column() == scCheck)
            return row.Checked ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(ColumnAlignment(index.column()));
    default:
        return {};
    }
}

bool TBookListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole || index.column() != scCheck || !IsRowIndex(index))
        return false;
    SetChecked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

QVariant TBookListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return ColumnHeader(section);
    // The check box column shows no caption; a screen reader names it.
    if (role == Qt::AccessibleTextRole && section == scCheck)
        return QStringLiteral("チェック");
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(ColumnAlignment(section));
    return {};
}

Qt::ItemFlags TBookListModel::flags(const QModelIndex& index) const
{
    if (!IsRowIndex(index))
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == scCheck)
        result |= Qt::ItemIsUserCheckable;
    return result;
}

void TBookListModel::SetSortState(std::int32_t column, bool descending)
{
    FSortColumn = column;
    FSortDescending = descending;
    FOrderHolds = Count() <= 1;
}

void TBookListModel::ColumnClick(std::int32_t column)
{
    if (column == FSortColumn) {
        FSortDescending = !FSortDescending;
    } else {
        FSortColumn = column;
        FSortDescending = false;
    }
    SortRows();
}

void TBookListModel::SortRows()
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();

    // The rows are sorted by keys taken out of them once (BookSaleCompare.h),
    // which gives the order a sort of the rows themselves gives, but reads
    // a record only where the first bytes of two texts agree.
    const std::vector<std::size_t> order = SortedOrder(FRows);
    std::vector<TRowPtr> sorted;
    sorted.reserve(FRows.size());
    std::vector<int> movedTo(FRows.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        sorted.push_back(std::move(FRows[order[i]]));
        movedTo[order[i]] = static_cast<int>(i);
    }
    FRows = std::move(sorted);
    FOrderHolds = true;

    if (!before.isEmpty()) {
        QModelIndexList after;
        after.reserve(before.size());
        for (const QModelIndex& old : before)
            after.push_back(index(movedTo[static_cast<std::size_t>(old.row())], old.column()));
        changePersistentIndexList(before, after);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int TBookListModel::Compare(const TRow& a, const TRow& b) const
{
    return CompareBookSaleRows({a.Record(), a.Checked}, {b.Record(), b.Checked}, FSortColumn,
                               FSortDescending);
}

std::vector<std::size_t> TBookListModel::SortedOrder(const std::vector<TRowPtr>& rows) const
{
    return SortBookSaleRows(
        rows.size(),
        [&rows](std::size_t i) {
            return TBookSaleRowRef{rows[i]->Record(), rows[i]->Checked};
        },
        FSortColumn, FSortDescending);
}

int TBookListModel::CompareRows(int a, int b) const
{
    CheckRow(a);
    CheckRow(b);
    return Compare(RowAt(a), RowAt(b));
}

std::array<std::string, TBookListModel::kColumnCount>
TBookListModel::ListItemTexts(const THtmlBookSaleData& record, std::string_view dateSeparator,
                              std::string_view thousandsSeparator)
{
    std::array<std::string, kColumnCount> texts;
    texts[scDate] = ListDateText(record, dateSeparator);
    texts[scTitle] = ListTitleText(record);
    texts[scAuthor] = record.Author();
    texts[scPrice] = ListPriceText(record, thousandsSeparator);
    texts[scPublisher] = record.Publisher();
    return texts;
}

void TBookListModel::AddBookSaleList(const TBookSaleList& list)
{
    const platform::TLocaleSeparators separators = platform::LocaleSeparators();
    std::vector<TRowPtr> fresh;
    fresh.reserve(static_cast<std::size_t>(std::max(list.Count(), 0)));
    std::exception_ptr failure;
    try {
        for (std::int32_t i = 0; i < list.Count(); ++i) {
            auto row = std::make_unique<TRow>();
            THtmlBookSaleData& copy = row->Data.emplace();
            copy.Assign(list.Items(i));
            copy.SetRowIndex(static_cast<std::int32_t>(Count() + static_cast<int>(fresh.size())));
            row->Texts = ListItemTexts(copy, separators.DateSeparator, separators.ThousandsSeparator);
            row->RenderShownTexts();
            fresh.push_back(std::move(row));
        }
    } catch (...) {
        failure = std::current_exception();
    }
    InsertRows(std::move(fresh));
    if (failure)
        std::rethrow_exception(failure);
}

void TBookListModel::AddTextRow(const std::array<QString, kColumnCount>& texts)
{
    auto row = std::make_unique<TRow>();
    for (std::size_t c = 0; c < texts.size(); ++c)
        row->Texts[c] = ToCP932(texts[c]);
    const int at = Count();
    beginInsertRows({}, at, at);
    FRows.push_back(std::move(row));
    ++FRowsWithoutRecord;
    endInsertRows();
}

void TBookListModel::InsertRows(std::vector<TRowPtr> fresh)
{
    if (fresh.empty())
        return;
    // A tick under the check-box sort may have left the rows out of order;
    // then the new rows cannot simply be placed among them: the whole list
    // is sorted again, as a header click would, with the new rows in it.
    // The check reads the rows once, and only after such a tick.
    if (!FOrderHolds) {
        if (!RowsStandSorted()) {
            AppendAndSort(std::move(fresh));
            return;
        }
        FOrderHolds = true;
    }
    if (FRowsWithoutRecord == 0 && fresh.size() > 1)
        InsertByMerge(std::move(fresh));
    else
        InsertOneByOne(std::move(fresh));
}

bool TBookListModel::RowsStandSorted() const
{
    // A row without a record compares equal to every row, so neighbours in
    // order say nothing about the rows on either side of it.
    if (FRowsWithoutRecord > 0)
        return false;
    for (std::size_t i = 1; i < FRows.size(); ++i)
        if (Compare(*FRows[i - 1], *FRows[i]) > 0)
            return false;
    return true;
}

void TBookListModel::AppendAndSort(std::vector<TRowPtr> fresh)
{
    const int first = Count();
    beginInsertRows({}, first, first + static_cast<int>(fresh.size()) - 1);
    std::move(fresh.begin(), fresh.end(), std::back_inserter(FRows));
    endInsertRows();
    SortRows();
}

// Binary insertion, one row at a time, each after the last row it does not
// precede. Used for a single row and where a row without a record stands in
// the list (it compares equal to every row, so a merge could not know where
// binary search would put a row).
void TBookListModel::InsertOneByOne(std::vector<TRowPtr> fresh)
{
    for (TRowPtr& row : fresh) {
        const auto at =
            std::upper_bound(FRows.begin(), FRows.end(), row,
                             [this](const TRowPtr& a, const TRowPtr& b) { return Compare(*a, *b) < 0; });
        const int position = static_cast<int>(at - FRows.begin());
        beginInsertRows({}, position, position);
        FRows.insert(at, std::move(row));
        endInsertRows();
    }
}

// Gives the order that InsertOneByOne gives when the rows stand sorted: the
// new rows sorted stably among themselves, each after every old row that it
// does not precede. The new rows go in as runs (the new rows that fall
// between the same two old rows), the last run first, through a gap that
// travels from the end of the list to the front, so every old row moves at
// most once and each run is announced to the views as one insertion.
void TBookListModel::InsertByMerge(std::vector<TRowPtr> fresh)
{
    // The fresh rows are sorted among themselves by their keys (see
    // SortRows); each is then placed after the last old row that it does
    // not precede, which a binary search finds reading only the few old
    // rows it probes.
    {
        const std::vector<std::size_t> order = SortedOrder(fresh);
        std::vector<TRowPtr> ordered;
        ordered.reserve(fresh.size());
        for (const std::size_t i : order)
            ordered.push_back(std::move(fresh[i]));
        fresh = std::move(ordered);
    }

    // Where each new row goes among the old rows: after the last one it does
    // not precede. The new rows stand sorted, so each place lies at or after
    // the place of the row before; it is found by galloping forward from
    // there (steps doubling until one overshoots, then a binary search in
    // that step), which reads about log(distance) old rows, not log(rows).
    const auto less = [this](const TRowPtr& a, const TRowPtr& b) { return Compare(*a, *b) < 0; };
    std::vector<std::size_t> slot(fresh.size());
    const std::size_t oldCount = FRows.size();
    std::size_t from = 0;
    for (std::size_t i = 0; i < fresh.size(); ++i) {
        std::size_t low = from;
        std::size_t high = from;
        for (std::size_t step = 1; high < oldCount && !less(fresh[i], FRows[high]); step *= 2) {
            low = high + 1;
            high = low + step - 1;
        }
        high = std::min(high, oldCount);
        const auto first = FRows.begin() + static_cast<std::ptrdiff_t>(low);
        const auto last = FRows.begin() + static_cast<std::ptrdiff_t>(high);
        slot[i] = static_cast<std::size_t>(std::upper_bound(first, last, fresh[i], less) - FRows.begin());
        from = slot[i];
    }

    FGapStart = FRows.size();
    FGapSize = fresh.size();
    FRows.resize(FRows.size() + fresh.size());
    std::size_t end = fresh.size();
    while (end > 0) {
        std::size_t begin = end - 1;
        while (begin > 0 && slot[begin - 1] == slot[end - 1])
            --begin;
        const std::size_t at = slot[begin];
        const std::size_t length = end - begin;
        // Move the gap in front of the old rows from `at` on; the rows the
        // views see stay the same.
        std::move_backward(FRows.begin() + static_cast<std::ptrdiff_t>(at),
                           FRows.begin() + static_cast<std::ptrdiff_t>(FGapStart),
                           FRows.begin() + static_cast<std::ptrdiff_t>(FGapStart + FGapSize));
        FGapStart = at;
        beginInsertRows({}, static_cast<int>(at), static_cast<int>(at + length - 1));
        std::move(fresh.begin() + static_cast<std::ptrdiff_t>(begin),
                  fresh.begin() + static_cast<std::ptrdiff_t>(end),
                  FRows.begin() + static_cast<std::ptrdiff_t>(at + FGapSize - length));
        FGapSize -= length;
        endInsertRows();
        end = begin;
    }
    FGapStart = 0;
}

void TBookListModel::Clear()
{
    const bool hadRows = !FRows.empty();
    if (hadRows)
        beginResetModel();
    FRows.clear();
    FRowsWithoutRecord = 0;
    FOrderHolds = true;
    if (hadRows)
        endResetModel();
}

void TBookListModel::CheckRow(int row) const
{
    if (row < 0 || row >= Count())
        throw EListError(row);
}

const THtmlBookSaleData* TBookListModel::Record(int row) const
{
    CheckRow(row);
    return RowAt(row).Record();
}

bool TBookListModel::Checked(int row) const
{
    CheckRow(row);
    return RowAt(row).Checked;
}

void TBookListModel::SetChecked(int row, bool checked)
{
    CheckRow(row);
    TRow& target = RowAt(row);
    if (target.Checked == checked)
        return;
    target.Checked = checked;
    if (FSortColumn == scCheck)
        FOrderHolds = false;
    const QModelIndex at = index(row, scCheck);
    emit dataChanged(at, at, {Qt::CheckStateRole});
}

int TBookListModel::CheckMatching(const std::function<bool(const THtmlBookSaleData&)>& matches)
{
    int matched = 0;
    bool changed = false;
    for (int row = 0; row < Count(); ++row) {
        TRow& target = RowAt(row);
        const THtmlBookSaleData* record = target.Record();
        if (record == nullptr || !matches(*record))
            continue;
        ++matched;
        changed = changed || !target.Checked;
        target.Checked = true;
    }
    if (changed)
        ChecksChanged();
    return matched;
}

void TBookListModel::SetAllChecked(bool checked)
{
    bool changed = false;
    for (int row = 0; row < Count(); ++row) {
        TRow& target = RowAt(row);
        changed = changed || target.Checked != checked;
        target.Checked = checked;
    }
    if (changed)
        ChecksChanged();
}

std::vector<TBookSaleRowRef> TBookListModel::Rows(bool tickedOnly) const
{
    std::vector<TBookSaleRowRef> rows;
    rows.reserve(FRows.size());
    for (int row = 0; row < Count(); ++row) {
        const TRow& at = RowAt(row);
        if (at.Record() != nullptr && (at.Checked || !tickedOnly))
            rows.push_back({at.Record(), at.Checked});
    }
    return rows;
}

void TBookListModel::ChecksChanged()
{
    if (FSortColumn == scCheck)
        FOrderHolds = false;
    emit dataChanged(index(0, scCheck), index(Count() - 1, scCheck), {Qt::CheckStateRole});
}

QString TBookListModel::Text(int row, int column) const
{
    CheckRow(row);
    if (column < 0 || column >= kColumnCount)
        return QString();
    return RowAt(row).ShownText(static_cast<std::size_t>(column));
}

}  // namespace tembrook
