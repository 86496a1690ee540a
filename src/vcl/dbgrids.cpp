#include "vcl/dbgrids.h"

#include <algorithm>
#include <climits>

#include "vcl/sysutils.h"

namespace vcl {

namespace {

constexpr int kCellPadding = 2;  // pixels between a cell's edge and its text
constexpr int kGridLine = 1;     // pixels between neighbouring cells
// A column never gets more characters than this, whatever its DisplayWidth says, so that
// a wild width cannot make a paint or its rendering unbounded.
constexpr int kMaxColumnChars = 1024;
// Cells are laid out only while their pixel coordinates stay well inside int.
constexpr long long kMaxExtent = INT_MAX / 2;

}  // namespace

// ---- TDataSource ------------------------------------------------------------------------

TDataSource::TDataSource(TComponent* owner) : TComponent(owner) {}

TDataSource::~TDataSource() { BeforeDestruction(); }

void TDataSource::SetDataSet(TDataSet* dataSet) {
    if (dataSet == dataSet_) return;
    if (dataSet_ != nullptr) RemoveFreeNotification(dataSet_);
    dataSet_ = dataSet;
    if (dataSet_ != nullptr) FreeNotification(dataSet_);
}

void TDataSource::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == dataSet_) dataSet_ = nullptr;
}

// ---- TDBGrid: links and selection -----------------------------------------------------------

TDBGrid::TDBGrid(TComponent* owner) : TWinControl(owner) {}

TDBGrid::~TDBGrid() {
    // Listeners hear of the grid going while its canvas and handler still exist.
    BeforeDestruction();
}

void TDBGrid::SetDataSource(TDataSource* dataSource) {
    if (dataSource == dataSource_) return;
    if (dataSource_ != nullptr) RemoveFreeNotification(dataSource_);
    dataSource_ = dataSource;
    if (dataSource_ != nullptr) FreeNotification(dataSource_);
}

TDataSet* TDBGrid::DataSet() const noexcept { return dataSource_ != nullptr ? dataSource_->DataSet() : nullptr; }

void TDBGrid::Notification(TComponent* component, TOperation operation) {
    TWinControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == dataSource_) dataSource_ = nullptr;
}

void TDBGrid::SetTopRow(int recNo) { topRow_ = std::max(recNo, 1); }

void TDBGrid::SetVisibleRowCount(int rows) { visibleRowCount_ = std::max(rows, 0); }

int TDBGrid::SelectedRow() const noexcept {
    const TDataSet* ds = DataSet();
    return ds != nullptr && ds->Active() ? ds->RecNo() : 0;
}

void TDBGrid::SetSelectedRow(int recNo) {
    TDataSet* ds = DataSet();
    if (ds == nullptr) throw EDatabaseError((Name().empty() ? std::string("The grid") : Name()) + " has no dataset");
    ds->SetRecNo(recNo);
}

void TDBGrid::SetSelectedIndex(int index) { selectedIndex_ = std::max(index, 0); }

std::vector<TField*> TDBGrid::VisibleFields() const {
    std::vector<TField*> fields;
    const TDataSet* ds = DataSet();
    if (ds == nullptr || !ds->Active()) return fields;
    for (int i = 0; i < ds->FieldCount(); ++i)
        if (TField* f = ds->Fields(i); f->Visible()) fields.push_back(f);
    return fields;
}

TField* TDBGrid::SelectedField() const {
    const std::vector<TField*> fields = VisibleFields();
    if (fields.empty()) return nullptr;
    return fields[static_cast<std::size_t>(std::min<int>(selectedIndex_, static_cast<int>(fields.size()) - 1))];
}

void TDBGrid::SetSelectedField(TField* field) {
    const std::vector<TField*> fields = VisibleFields();
    const auto it = std::find(fields.begin(), fields.end(), field);
    if (field == nullptr || it == fields.end())
        throw EInvalidOperation("Field '" + (field != nullptr ? field->FieldName() : std::string()) +
                                "' is not shown in the grid");
    selectedIndex_ = static_cast<int>(it - fields.begin());
}

// ---- TDBGrid: drawing -------------------------------------------------------------------------

void TDBGrid::DefaultDrawDataCell(const TRect& rect, TField* field, TGridDrawState) {
    if (field == nullptr) {
        canvas_.FillRect(rect);
        return;
    }
    const std::string text = field->DisplayText();
    int x = rect.Left + kCellPadding;
    switch (field->Alignment()) {
        case taLeftJustify: break;
        case taRightJustify: x = rect.Right - kCellPadding - canvas_.TextWidth(text); break;
        case taCenter: x = rect.Left + (rect.Width() - canvas_.TextWidth(text)) / 2; break;
    }
    canvas_.TextRect(rect, x, rect.Top + kCellPadding, text);
}

std::vector<TDBGrid::TColumn> TDBGrid::LayOutColumns(const std::vector<TField*>& fields, int rowHeight) const {
    const long long charWidth = std::max(1, canvas_.TextWidth("0"));
    std::vector<TColumn> columns;
    columns.reserve(fields.size());
    long long left = 0;
    for (TField* field : fields) {
        const int chars = std::min(field->DisplayWidth(), kMaxColumnChars);
        const long long right = left + chars * charWidth + 2 * kCellPadding;
        if (right > kMaxExtent) break;  // beyond what the canvas can place
        columns.push_back({field, chars, Rect(static_cast<int>(left), 0, static_cast<int>(right), rowHeight)});
        left = right + kGridLine;
    }
    return columns;
}

TRect TDBGrid::RowRect(const TColumn& column, int row, int rowHeight) const {
    const int top = row * (rowHeight + kGridLine);
    return Rect(column.Title.Left, top, column.Title.Right, top + rowHeight);
}

void TDBGrid::PaintTitles(const std::vector<TColumn>& columns) {
    canvas_.Brush.Color = FixedColor;
    canvas_.Font.Color = Font.Color;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const TRect& rect = columns[c].Title;
        canvas_.SetCellRect(static_cast<int>(c), 0, rect);
        canvas_.TextRect(rect, rect.Left + kCellPadding, rect.Top + kCellPadding, columns[c].Field->DisplayLabel());
    }
}

void TDBGrid::Paint() {
    if (painting_) return;  // a handler repainting would wipe the paint it is part of
    canvas_.Clear();
    canvas_.Font = Font;
    paintedWidths_.clear();
    TDataSource* const source = dataSource_;
    TDataSet* const ds = DataSet();
    if (ds == nullptr || !ds->Active()) return;

    const std::vector<TField*> fields = VisibleFields();
    const int rowHeight = std::max(1, canvas_.TextHeight("0") + 2 * kCellPadding);
    const std::vector<TColumn> columns = LayOutColumns(fields, rowHeight);
    for (const TColumn& column : columns) paintedWidths_.push_back(column.Width);
    PaintTitles(columns);
    if (columns.empty()) return;

    // Handlers run for every cell and may free or close anything painted here, the grid
    // included; these tell what is still there. A dataset closed and opened again has new
    // fields, so watching the painted ones tells that too.
    TFreeWatch self{this};
    TFreeWatch link{source};
    TFreeWatch opening{ds};
    for (const TColumn& column : columns) opening.Watch(column.Field);
    auto sameOpening = [&] { return !opening.Gone() && ds->Active(); };

    // A paint draws with the settings it began with, whatever handlers change meanwhile.
    const int topRow = topRow_, rowCount = visibleRowCount_;
    const TColor cellColor = Color, textColor = Font.Color;
    const TDataSet::TBookmark home = ds->GetBookmark();
    const int selectedRow = ds->RecNo();
    const int selectedCol = std::min(selectedIndex_, static_cast<int>(columns.size()) - 1);
    auto goHome = [&] {
        if (sameOpening()) ds->GotoBookmark(home);
    };

    painting_ = true;
    try {
        const long long lastTop = kMaxExtent - rowHeight;
        bool stop = false;
        for (int row = 1; row <= rowCount && !stop; ++row) {
            const long long recNo = static_cast<long long>(topRow) + row - 1;
            if (recNo > INT_MAX || static_cast<long long>(row) * (rowHeight + kGridLine) > lastTop) break;
            ds->SetRecNo(static_cast<int>(recNo));
            if (ds->RecNo() != recNo) break;  // past the end of the data
            for (std::size_t c = 0; c < columns.size() && !stop; ++c) {
                const TRect rect = RowRect(columns[c], row, rowHeight);
                TField* const field = columns[c].Field;
                const bool selected = recNo == selectedRow && static_cast<int>(c) == selectedCol;
                const TGridDrawState state = selected ? TGridDrawState{gdSelected} : TGridDrawState{};
                canvas_.SetCellRect(static_cast<int>(c), row, rect);
                canvas_.Brush.Color = selected ? clHighlight : cellColor;
                canvas_.Font.Color = selected ? clHighlightText : textColor;
                DefaultDrawDataCell(rect, field, state);
                CallHandler(this, OnDrawDataCell, this, rect, field, state);
                if (self.Gone()) {
                    goHome();  // the grid is gone: touch none of its members
                    return;
                }
                stop = !sameOpening() || link.Gone() || dataSource_ != source || source->DataSet() != ds;
            }
        }
    } catch (...) {
        if (!self.Gone()) painting_ = false;
        try {
            goHome();
        } catch (...) {
            // The error that stopped the paint is the one to report.
        }
        throw;
    }
    painting_ = false;
    goHome();
}

TTextGrid TDBGrid::PaintedScreen() const {
    TTextGrid grid = GridFromCanvas(canvas_);
    const std::size_t n = std::min(grid.ColWidths.size(), paintedWidths_.size());
    std::copy_n(paintedWidths_.begin(), n, grid.ColWidths.begin());
    return grid;
}

void TDBGrid::RenderText(TTextCanvas& canvas, const TCellRect& cells) const {
    const std::vector<std::string> lines = RenderLines(PaintedScreen(), TRenderMode::rmPlain);
    if (lines.empty()) {
        TWinControl::RenderText(canvas, cells);
        return;
    }
    canvas.FillBlank(cells);
    for (int i = 0; i < cells.Rows && i < static_cast<int>(lines.size()); ++i)
        canvas.PutText(cells.Col, cells.Row + i, Utf8ToWin1252(lines[static_cast<std::size_t>(i)]), cells.Cols);
}

std::string RenderGridText(const TDBGrid& grid, bool colour) {
    return RenderGrid(grid.PaintedScreen(), colour ? TRenderMode::rmColor : TRenderMode::rmPlain);
}

}  // namespace vcl
