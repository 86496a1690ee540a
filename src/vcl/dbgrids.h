// The data grid: a data source linking a dataset to a grid, and the grid that paints the
// dataset's visible fields row by row onto a recording canvas.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "vcl/classes.h"
#include "vcl/db.h"
#include "vcl/forms.h"
#include "vcl/graphics.h"
#include "vcl/terminal.h"

namespace vcl {

// Links a dataset to the controls that show it. It forgets the dataset when that is freed.
class TDataSource : public TComponent {
public:
    explicit TDataSource(TComponent* owner);
    ~TDataSource() override;

    TDataSet* DataSet() const noexcept { return dataSet_; }
    void SetDataSet(TDataSet* dataSet);

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    TDataSet* dataSet_ = nullptr;
};

enum TGridDrawStateItem : std::uint8_t { gdSelected, gdFocused, gdFixed };
// How a cell is drawn: the selected cell has gdSelected, title cells gdFixed. gdFocused is
// never set: a headless grid holds no keyboard focus.
using TGridDrawState = TSet<TGridDrawStateItem>;

using TDrawDataCellEvent =
    std::function<void(TObject* Sender, const TRect& Rect, TField* Field, TGridDrawState State)>;

// A grid showing the records of its data source's dataset: a title row with each visible
// field's DisplayLabel, in field order, then one row per record from TopRow on. Paint draws
// it onto Canvas, which records what a user would see; PaintedScreen reads that back.
//
// The selected row is the dataset's current record (as in any data-aware control, moving
// one moves the other); SelectedIndex picks the column among the visible fields.
class TDBGrid : public TWinControl {
public:
    explicit TDBGrid(TComponent* owner);
    ~TDBGrid() override;

    TDataSource* DataSource() const noexcept { return dataSource_; }
    void SetDataSource(TDataSource* dataSource);
    // The data source's dataset, or null.
    TDataSet* DataSet() const noexcept;

    // Colour of the title row. Color (inherited, clWindow) is the data cells' background.
    TColor FixedColor = clBtnFace;
    // The font of every cell; Font.Color is the data cells' text colour.
    TFont Font;
    // Called for each data cell after the grid has drawn it, with the rectangle, field and
    // draw state it drew with; the handler may draw the cell again on Canvas. Errors it
    // raises go to Application->HandleException, or propagate when there is none.
    TDrawDataCellEvent OnDrawDataCell;

    TCanvas& Canvas() noexcept { return canvas_; }
    const TCanvas& Canvas() const noexcept { return canvas_; }

    // Draws the field's DisplayText into the rectangle with the canvas's current font and
    // brush, numbers at the right. No field: the rectangle is filled blank.
    void DefaultDrawDataCell(const TRect& rect, TField* field, TGridDrawState state);

    // The record number (from 1) shown in the first data row. Values below 1 are taken as 1.
    int TopRow() const noexcept { return topRow_; }
    void SetTopRow(int recNo);
    // Data rows on a screen. Values below 0 are taken as 0.
    int VisibleRowCount() const noexcept { return visibleRowCount_; }
    void SetVisibleRowCount(int rows);

    // The dataset's current record number; 0 without one. Setting it moves the dataset
    // there (as SetRecNo does); EDatabaseError without an open dataset.
    int SelectedRow() const noexcept;
    void SetSelectedRow(int recNo);
    // The selected column among the visible fields, from 0. Values below 0 are taken as 0;
    // one beyond the last column selects the last column.
    int SelectedIndex() const noexcept { return selectedIndex_; }
    void SetSelectedIndex(int index);
    // The field of the selected column; null when the grid shows no columns.
    TField* SelectedField() const;
    // Selects the field's column; EInvalidOperation when the grid does not show the field.
    void SetSelectedField(TField* field);

    // The fields shown as columns: the visible fields of the open dataset, in field order.
    std::vector<TField*> VisibleFields() const;

    // Clears the canvas and draws the grid: the titles on FixedColor, then for each row
    // from TopRow (up to VisibleRowCount, stopping at the end of the data) each visible
    // field with the grid's Color and Font.Color (the selected cell in clHighlight and
    // clHighlightText) by DefaultDrawDataCell, followed by OnDrawDataCell. The dataset's
    // cursor is moved to each row and put back exactly afterwards. Without an open dataset
    // the grid is empty. Painting stops when a handler frees or closes what is painted or
    // links the grid to other data; a Paint from inside a handler does nothing.
    void Paint();

    // What the last Paint left on the canvas: the title row, then the data rows, each cell
    // with its text and colours; the column widths are the fields' DisplayWidth.
    TTextGrid PaintedScreen() const;

    // Drawn as the last paint's plain text when the form is rendered.
    void RenderText(TTextCanvas& canvas, const TCellRect& cells) const override;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    struct TColumn {
        TField* Field;
        int Width;  // characters
        TRect Title;
    };

    std::vector<TColumn> LayOutColumns(const std::vector<TField*>& fields, int rowHeight) const;
    void PaintTitles(const std::vector<TColumn>& columns);
    TRect RowRect(const TColumn& column, int row, int rowHeight) const;

    TDataSource* dataSource_ = nullptr;
    TCanvas canvas_;
    int topRow_ = 1;
    int visibleRowCount_ = 10;
    int selectedIndex_ = 0;
    bool painting_ = false;
    std::vector<int> paintedWidths_;  // the columns' widths at the last paint
};

// The grid's last paint as terminal text (UTF-8), one line per row, columns as wide as
// their fields' DisplayWidth; with colour, each cell in its font and brush colours as
// 24-bit escapes (system colours by ColorToRGB).
std::string RenderGridText(const TDBGrid& grid, bool colour);

}  // namespace vcl
