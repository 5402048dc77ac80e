// Tables: containers that lay widgets out in rows of a fixed number of columns and move
// the focus between them with the arrow keys, Tab and the mouse. Windows are tables too.
#pragma once

#include <initializer_list>

#include "textui/txt_widget.h"

struct TXT_TABLE : TXT_WIDGET {
    // Row-major cells; null is an empty cell, TXT_TABLE_OVERFLOW_RIGHT lends the cell to
    // the widget on its left.
    std::vector<TXT_WIDGET*> cells;
    int columns = 1;
    // Fixed column widths (0: as wide as the widest cell).
    std::vector<int> fixed_widths;
    int selected_x = 0, selected_y = 0;
    // Filled by the size calculation.
    std::vector<int> col_w, row_h;
};

// Markers to add instead of a widget.
extern TXT_WIDGET txt_table_overflow_right;
extern TXT_WIDGET txt_table_empty;
extern TXT_WIDGET txt_table_eol;
#define TXT_TABLE_OVERFLOW_RIGHT (&txt_table_overflow_right)
#define TXT_TABLE_EMPTY (&txt_table_empty)
#define TXT_TABLE_EOL (&txt_table_eol)

extern const TXT_WIDGET_CLASS txt_table_class;

TXT_TABLE* TXT_NewTable(int columns);
void TXT_InitTable(TXT_TABLE* table, int columns);

// Adds a widget (or a marker) in the next free cell; the table owns it from then on.
void TXT_AddWidget(TXT_TABLE* table, TXT_WIDGET* w);
// Adds each of the widgets in turn.
template <typename... W> void TXT_AddWidgets(TXT_TABLE* table, W*... widgets)
{
    (TXT_AddWidget(table, widgets), ...);
}
// A one-row table of the given widgets.
template <typename... W> TXT_TABLE* TXT_NewHorizBox(W*... widgets)
{
    TXT_TABLE* box = TXT_NewTable(static_cast<int>(sizeof...(widgets)));
    TXT_AddWidgets(box, widgets...);
    return box;
}
// Removes and frees every widget.
void TXT_ClearTable(TXT_TABLE* table);
// Fixes the width of each column (0 leaves one to its contents).
void TXT_SetColumnWidths(TXT_TABLE* table, std::initializer_list<int> widths);
// Gives the focus to w (found in this table or a table inside it); false when absent.
bool TXT_SelectWidget(TXT_TABLE* table, TXT_WIDGET* w);
// The selected widget of the table (the innermost one through nested tables).
TXT_WIDGET* TXT_GetSelectedWidget(TXT_TABLE* table);

// The table's own behaviour, for widgets built on a table.
void TXT_TableSizeCalc(TXT_WIDGET* w);
void TXT_TableDraw(TXT_WIDGET* w);
bool TXT_TableKeyPress(TXT_WIDGET* w, int key);
void TXT_TableMousePress(TXT_WIDGET* w, int x, int y, int code);
void TXT_TableLayout(TXT_WIDGET* w);
void TXT_TableFocused(TXT_WIDGET* w, bool focused);
void TXT_TableFocusEdge(TXT_WIDGET* w, bool last);
bool TXT_TableSelectable(TXT_WIDGET* w);
void TXT_TableDestroyChildren(TXT_TABLE* table);

// A container that shows its child only while *var equals value; otherwise it takes no
// room and cannot take the focus.
TXT_WIDGET* TXT_NewConditional(const int* var, int value, TXT_WIDGET* child);
