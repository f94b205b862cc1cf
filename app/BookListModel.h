#pragma once
// TBookListModel is the release list of the main window: one row per release
// record, a check box per row, six columns (check box, release date, title,
// author, price, publisher), shown by a QTreeView.
//
// Every row owns a private copy of its record, made with Assign, and the
// texts rendered from that copy when the row was added; the texts are never
// rendered again. They are kept as CP932 and become QString only when a view
// asks for them (only the visible rows are ever converted). The title, author
// and publisher cells show the characters that the page's character
// references stand for ("Tom &amp; Lily &#9829;" shows "Tom & Lily ♥"),
// decoded once when the row is added; the records, the sort, Save and the
// HTML line keep the references as the page wrote them. A record's RowIndex is the number of rows the list held
// just before it arrived, so the release-date column sorts by order of
// arrival since the last Clear.
//
// The rows stand in the order of the sort state (SortColumn,
// SortDescending): AddBookSaleList puts each new row after the last row that
// compares equal to it or before it (binary insertion), and ColumnClick
// re-sorts the whole list with a stable sort. A whole table page goes in at
// once: its rows are sorted among themselves and merged in, which gives the
// same order as inserting them one by one and costs one pass over the list.
// Ticking a row never moves it, so under the check-box sort a tick can leave
// the rows out of order until the next sort; rows arriving then sort the
// whole list again with the new rows in it, so afterwards every row stands
// in order once more.
//
// Rows compare through CompareBookSaleRows, the comparison the command-line
// exporter uses as well. A row without a record (the design row that the
// window shows at start-up) compares equal to every row.

#include <QAbstractTableModel>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "BookDataListUnit.h"
#include "BookSaleCompare.h"

namespace tembrook {

class TBookListModel : public QAbstractTableModel {
public:
    // The columns are the sort columns (TSortColumn): check box, release
    // date, title, author, price, publisher.
    static constexpr int kColumnCount = 6;

    explicit TBookListModel(QObject* parent = nullptr);
    ~TBookListModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Header caption, pixel width and alignment of each column.
    static QString ColumnHeader(int column);
    static int ColumnWidth(int column);
    static Qt::Alignment ColumnAlignment(int column);

    // The sort state. SetSortState does not move any row.
    std::int32_t SortColumn() const noexcept { return FSortColumn; }
    bool SortDescending() const noexcept { return FSortDescending; }
    void SetSortState(std::int32_t column, bool descending);
    // A header click: the same column toggles the direction, another column
    // sorts ascending by it; then the whole list is re-sorted.
    void ColumnClick(std::int32_t column);

    // Appends a copy of every record of list, in list order, each at its
    // place in the current order. A record that cannot be copied (a null
    // entry) stops the appending with the copy's error; the rows before it
    // stay.
    void AddBookSaleList(const TBookSaleList& list);
    // Appends a row without a record showing the given column texts, after
    // the last row (it compares equal to every row).
    void AddTextRow(const std::array<QString, kColumnCount>& texts);
    // Removes every row (and with it every record copy).
    void Clear();

    int Count() const noexcept { return static_cast<int>(FRows.size() - FGapSize); }
    // The row's record, or nullptr for a row without one (index checked:
    // EListError outside 0..Count()-1).
    const THtmlBookSaleData* Record(int row) const;
    bool Checked(int row) const;
    void SetChecked(int row, bool checked);
    // Ticks every row whose record matches (rows without a record are left
    // as they are) and returns how many matched. Like ticks by hand, this
    // moves no row.
    int CheckMatching(const std::function<bool(const THtmlBookSaleData&)>& matches);
    // Ticks or unticks every row.
    void SetAllChecked(bool checked);
    // The rows with a record in display order, with their ticks; only the
    // ticked ones with tickedOnly. What Save, HTML and the calendar read.
    std::vector<TBookSaleRowRef> Rows(bool tickedOnly = false) const;
    // The text a cell shows (references decoded, see above).
    QString Text(int row, int column) const;

    // The order of two rows under the sort state: negative when row a goes
    // first (InportBookListViewCompare).
    int CompareRows(int a, int b) const;

    // The CP932 texts of columns 0..5 for a record (SetListItemTexts), with
    // the given locale separators.
    static std::array<std::string, kColumnCount> ListItemTexts(const THtmlBookSaleData& record,
                                                               std::string_view dateSeparator,
                                                               std::string_view thousandsSeparator);

private:
    struct TRow;
    using TRowPtr = std::unique_ptr<TRow>;

    // The order of rows (the indexes of their new order) under the sort
    // state: the keyed sort of the exporter too (SortBookSaleRows).
    std::vector<std::size_t> SortedOrder(const std::vector<TRowPtr>& rows) const;

    int Compare(const TRow& a, const TRow& b) const;
    void CheckRow(int row) const;
    // After ticks changed on many rows: one update for the check column.
    void ChecksChanged();
    bool IsRowIndex(const QModelIndex& index) const noexcept;
    void InsertRows(std::vector<TRowPtr> fresh);
    bool RowsStandSorted() const;
    void AppendAndSort(std::vector<TRowPtr> fresh);
    void InsertOneByOne(std::vector<TRowPtr> fresh);
    void InsertByMerge(std::vector<TRowPtr> fresh);
    void SortRows();
    TRow& RowAt(int row) const noexcept;

    // The rows in display order. While a page is being merged in, the
    // not yet filled places form a gap at FGapStart (FGapSize entries) that
    // RowAt skips; outside AddBookSaleList the gap is empty.
    std::vector<TRowPtr> FRows;
    std::size_t FGapStart = 0;
    std::size_t FGapSize = 0;
    std::int32_t FSortColumn = 1;
    bool FSortDescending = false;
    // False when the rows may not stand sorted by the sort state: after a
    // tick under the check-box sort or a sort state set without sorting.
    // The next arrival then checks the order and sorts if it is broken.
    bool FOrderHolds = true;
    int FRowsWithoutRecord = 0;
};

}  // namespace tembrook
