#include "textui/txt_table.h"

#include <algorithm>

#include "textui/txt_main.h"

TXT_WIDGET txt_table_overflow_right;
TXT_WIDGET txt_table_empty;
TXT_WIDGET txt_table_eol;

static bool IsMarker(const TXT_WIDGET* w)
{
    return w == TXT_TABLE_OVERFLOW_RIGHT || w == TXT_TABLE_EMPTY || w == TXT_TABLE_EOL;
}

static bool IsReal(const TXT_WIDGET* w)
{
    return w && !IsMarker(w);
}

static int Rows(const TXT_TABLE* t)
{
    return static_cast<int>((t->cells.size() + t->columns - 1) / t->columns);
}

static TXT_WIDGET* Cell(const TXT_TABLE* t, int x, int y)
{
    if (x < 0 || y < 0 || x >= t->columns) return nullptr;
    size_t i = static_cast<size_t>(y) * t->columns + x;
    return i < t->cells.size() ? t->cells[i] : nullptr;
}

// The widget that occupies cell (x, y), following overflow cells to their owner.
static TXT_WIDGET* Owner(const TXT_TABLE* t, int x, int y, int* owner_x = nullptr)
{
    while (x >= 0 && Cell(t, x, y) == TXT_TABLE_OVERFLOW_RIGHT)
        x--;
    if (owner_x) *owner_x = x;
    TXT_WIDGET* w = Cell(t, x, y);
    return IsReal(w) ? w : nullptr;
}

// How many columns the widget at (x, y) spans.
static int Span(const TXT_TABLE* t, int x, int y)
{
    int span = 1;
    while (x + span < t->columns && Cell(t, x + span, y) == TXT_TABLE_OVERFLOW_RIGHT)
        span++;
    return span;
}

static bool SelectableAt(const TXT_TABLE* t, int x, int y)
{
    TXT_WIDGET* w = Owner(t, x, y);
    return w && TXT_SelectableWidget(w);
}

static void Select(TXT_TABLE* t, int x, int y)
{
    int ox;
    TXT_WIDGET* next = Owner(t, x, y, &ox);
    TXT_WIDGET* old = Owner(t, t->selected_x, t->selected_y);
    t->selected_x = ox;
    t->selected_y = y;
    if (old != next && t->focused) {
        TXT_SetWidgetFocus(old, false);
        TXT_SetWidgetFocus(next, true);
    }
}

bool TXT_TableSelectable(TXT_WIDGET* w)
{
    TXT_TABLE* t = static_cast<TXT_TABLE*>(w);
    for (TXT_WIDGET* c : t->cells)
        if (IsReal(c) && TXT_SelectableWidget(c)) return true;
    return false;
}

// Selects the first (or last) selectable widget in reading order; false when none.
static bool SelectEdge(TXT_TABLE* t, bool last)
{
    int n = static_cast<int>(t->cells.size());
    for (int k = 0; k < n; k++) {
        int i = last ? n - 1 - k : k;
        TXT_WIDGET* c = t->cells[i];
        if (IsReal(c) && TXT_SelectableWidget(c)) {
            Select(t, i % t->columns, i / t->columns);
            TXT_FocusWidgetEdge(c, last);
            return true;
        }
    }
    return false;
}

void TXT_TableFocusEdge(TXT_WIDGET* w, bool last)
{
    SelectEdge(static_cast<TXT_TABLE*>(w), last);
}

void TXT_TableSizeCalc(TXT_WIDGET* w)
{
    TXT_TABLE* t = static_cast<TXT_TABLE*>(w);
    int rows = Rows(t);
    t->col_w.assign(t->columns, 0);
    t->row_h.assign(rows, 0);

    for (int y = 0; y < rows; y++) {
        for (int x = 0; x < t->columns; x++) {
            TXT_WIDGET* c = Cell(t, x, y);
            if (!IsReal(c)) continue;
            TXT_CalcWidgetSize(c);
            if (Span(t, x, y) == 1) t->col_w[x] = std::max(t->col_w[x], c->w);
            t->row_h[y] = std::max(t->row_h[y], c->h);
        }
    }
    // A widget spanning several columns widens the last of them if it needs more room.
    for (int y = 0; y < rows; y++) {
        for (int x = 0; x < t->columns; x++) {
            TXT_WIDGET* c = Cell(t, x, y);
            int span = Span(t, x, y);
            if (!IsReal(c) || span == 1) continue;
            int sum = 0;
            for (int i = x; i < x + span; i++)
                sum += t->col_w[i];
            if (c->w > sum) t->col_w[x + span - 1] += c->w - sum;
        }
    }
    for (size_t i = 0; i < t->fixed_widths.size() && i < t->col_w.size(); i++)
        if (t->fixed_widths[i] > 0) t->col_w[i] = t->fixed_widths[i];

    w->w = 0;
    for (int cw : t->col_w)
        w->w += cw;
    w->h = 0;
    for (int rh : t->row_h)
        w->h += rh;
}

void TXT_TableLayout(TXT_WIDGET* w)
{
    TXT_TABLE* t = static_cast<TXT_TABLE*>(w);
    int rows = Rows(t);
    // A hidden or disabled widget must not keep the focus.
    if (!SelectableAt(t, t->selected_x, t->selected_y)) SelectEdge(t, false);

    int y = w->y;
    for (int row = 0; row < rows && row < static_cast<int>(t->row_h.size()); row++) {
        int x = w->x;
        for (int col = 0; col < t->columns; col++) {
            TXT_WIDGET* c = Cell(t, col, row);
            if (IsReal(c)) {
                int span = Span(t, col, row);
                int cell_w = 0;
                for (int i = col; i < col + span; i++)
                    cell_w += t->col_w[i];
                c->y = y;
                c->h = t->row_h[row];
                switch (c->align) {
                case TXT_HORIZ_LEFT:
                    c->x = x;
                    c->w = cell_w;
                    break;
                case TXT_HORIZ_CENTER:
                    c->x = x + std::max(0, (cell_w - c->w) / 2);
                    break;
                case TXT_HORIZ_RIGHT:
                    c->x = x + std::max(0, cell_w - c->w);
                    break;
                }
                TXT_LayoutWidget(c);
            }
            x += t->col_w[col];
        }
        y += t->row_h[row];
    }
}

void TXT_TableDraw(TXT_WIDGET* w)
{
    TXT_TABLE* t = static_cast<TXT_TABLE*>(w);
    for (TXT_WIDGET* c : t->cells)
        if (IsReal(c) && c->h > 0) TXT_DrawWidget(c);
}

// Moves the selection to the nearest selectable widget in the given direction.
static bool MoveVertically(TXT_TABLE* t, int dir)
{
    int rows = Rows(t);
    for (int y = t->selected_y + dir; y >= 0 && y < rows; y += dir) {
        // Same column first, then the nearest column of that row.
        for (int d = 0; d < t->columns; d++) {
            for (int x : {t->selected_x - d, t->selected_x + d}) {
                if (SelectableAt(t, x, y)) {
                    Select(t, x, y);
                    TXT_FocusWidgetEdge(Owner(t, x, y), dir < 0);
                    return true;
                }
            }
        }
    }
    return false;
}

static bool MoveHorizontally(TXT_TABLE* t, int dir)
{
    int x = dir > 0 ? t->selected_x + Span(t, t->selected_x, t->selected_y) : t->selected_x - 1;
    for (; x >= 0 && x < t->columns; x += dir) {
        int ox;
        TXT_WIDGET* c = Owner(t, x, t->selected_y, &ox);
        if (c && TXT_SelectableWidget(c)) {
            Select(t, ox, t->selected_y);
            TXT_FocusWidgetEdge(c, dir < 0);
            return true;
        }
    }
    return false;
}

// Tab order is reading order.
static bool MoveInOrder(TXT_TABLE* t, int dir)
{
    int n = static_cast<int>(t->cells.size());
    for (int i = t->selected_y * t->columns + t->selected_x + dir; i >= 0 && i < n; i += dir) {
        TXT_WIDGET* c = t->cells[i];
        if (IsReal(c) && TXT_SelectableWidget(c)) {
            Select(t, i % t->columns, i / t->columns);
            TXT_FocusWidgetEdge(c, dir < 0);
            return true;
        }
    }
    return false;
}

bool TXT_TableKeyPress(TXT_WIDGET* w, int key)
{
    TXT_TABLE* t = static_cast<TXT_TABLE*>(w);
    TXT_WIDGET* sel = Owner(t, t->selected_x, t->selected_y);
    if (sel && TXT_SelectableWidget(sel) && TXT_WidgetKeyPress(sel, key)) return true;

    switch (key) {
    case KEY_TAB:
        return MoveInOrder(t, TXT_ShiftHeld() ? -1 : 1);
    case KEY_DOWNARROW:
        return MoveVertically(t, 1);
    case KEY_UPARROW:
        return MoveVertically(t, -1);
    case KEY_RIGHTARROW:
        return MoveHorizontally(t, 1);
    case KEY_LEFTARROW:
        return MoveHorizontally(t, -1);
    default:
        return false;
    }
}

void TXT_TableMousePress(TXT_WIDGET* w, int x, int y, int code)
{
    TXT_TABLE* t = static_cast<TXT_TABLE*>(w);
    for (size_t i = 0; i < t->cells.size(); i++) {
        TXT_WIDGET* c = t->cells[i];
        if (!IsReal(c) || c->h == 0 || !TXT_WidgetContains(c, x, y)) continue;
        if (TXT_SelectableWidget(c))
            Select(t, static_cast<int>(i % t->columns), static_cast<int>(i / t->columns));
        TXT_WidgetMousePress(c, x, y, code);
        return;
    }
}

void TXT_TableFocused(TXT_WIDGET* w, bool focused)
{
    TXT_TABLE* t = static_cast<TXT_TABLE*>(w);
    TXT_SetWidgetFocus(Owner(t, t->selected_x, t->selected_y), focused);
}

void TXT_TableDestroyChildren(TXT_TABLE* table)
{
    for (TXT_WIDGET* c : table->cells)
        if (IsReal(c)) TXT_DestroyWidget(c);
    table->cells.clear();
    table->selected_x = table->selected_y = 0;
}

static void TableDestroy(TXT_WIDGET* w)
{
    TXT_TABLE* t = static_cast<TXT_TABLE*>(w);
    TXT_TableDestroyChildren(t);
    delete t;
}

const TXT_WIDGET_CLASS txt_table_class = {
    .selectable = TXT_TableSelectable,
    .size_calc = TXT_TableSizeCalc,
    .draw = TXT_TableDraw,
    .keypress = TXT_TableKeyPress,
    .destroy = TableDestroy,
    .mouse_press = TXT_TableMousePress,
    .layout = TXT_TableLayout,
    .focus_change = TXT_TableFocused,
    .focus_edge = TXT_TableFocusEdge,
};

void TXT_InitTable(TXT_TABLE* table, int columns)
{
    table->columns = std::max(1, columns);
}

TXT_TABLE* TXT_NewTable(int columns)
{
    TXT_TABLE* t = new TXT_TABLE;
    TXT_InitWidget(t, &txt_table_class);
    TXT_InitTable(t, columns);
    return t;
}

void TXT_AddWidget(TXT_TABLE* table, TXT_WIDGET* w)
{
    if (w == TXT_TABLE_EOL) {
        while (table->cells.size() % table->columns != 0)
            table->cells.push_back(TXT_TABLE_EMPTY);
        return;
    }
    if (w == nullptr) w = TXT_TABLE_EMPTY;
    if (IsReal(w)) w->parent = table;
    bool have_selection = SelectableAt(table, table->selected_x, table->selected_y);
    table->cells.push_back(w);

    // The first selectable widget takes the selection.
    if (IsReal(w) && TXT_SelectableWidget(w) && !have_selection) {
        int i = static_cast<int>(table->cells.size()) - 1;
        table->selected_x = i % table->columns;
        table->selected_y = i / table->columns;
        if (table->focused) TXT_SetWidgetFocus(w, true);
    }
}

void TXT_ClearTable(TXT_TABLE* table)
{
    TXT_TableDestroyChildren(table);
}

void TXT_SetColumnWidths(TXT_TABLE* table, std::initializer_list<int> widths)
{
    table->fixed_widths.assign(widths.begin(), widths.end());
}

namespace
{

struct TXT_CONDITIONAL : TXT_WIDGET {
    const int* var;
    int value;
    TXT_WIDGET* child;
};

} // namespace

static bool CondVisible(TXT_WIDGET* w)
{
    auto* c = static_cast<TXT_CONDITIONAL*>(w);
    return *c->var == c->value;
}

static TXT_WIDGET* CondChild(TXT_WIDGET* w)
{
    return static_cast<TXT_CONDITIONAL*>(w)->child;
}

static bool CondSelectable(TXT_WIDGET* w)
{
    return CondVisible(w) && TXT_SelectableWidget(CondChild(w));
}

static void CondSizeCalc(TXT_WIDGET* w)
{
    if (CondVisible(w)) {
        TXT_CalcWidgetSize(CondChild(w));
        w->w = CondChild(w)->w;
        w->h = CondChild(w)->h;
    } else {
        w->w = w->h = 0;
    }
}

static void CondDraw(TXT_WIDGET* w)
{
    if (CondVisible(w)) TXT_DrawWidget(CondChild(w));
}

static bool CondKeyPress(TXT_WIDGET* w, int key)
{
    return CondVisible(w) && TXT_WidgetKeyPress(CondChild(w), key);
}

static void CondMousePress(TXT_WIDGET* w, int x, int y, int code)
{
    if (CondVisible(w)) TXT_WidgetMousePress(CondChild(w), x, y, code);
}

static void CondLayout(TXT_WIDGET* w)
{
    TXT_WIDGET* c = CondChild(w);
    c->x = w->x;
    c->y = w->y;
    c->w = w->w;
    c->h = w->h;
    TXT_LayoutWidget(c);
}

static void CondFocused(TXT_WIDGET* w, bool focused)
{
    TXT_SetWidgetFocus(CondChild(w), focused);
}

static void CondFocusEdge(TXT_WIDGET* w, bool last)
{
    TXT_FocusWidgetEdge(CondChild(w), last);
}

static void CondDestroy(TXT_WIDGET* w)
{
    TXT_DestroyWidget(CondChild(w));
    delete static_cast<TXT_CONDITIONAL*>(w);
}

static const TXT_WIDGET_CLASS txt_conditional_class = {
    .selectable = CondSelectable,
    .size_calc = CondSizeCalc,
    .draw = CondDraw,
    .keypress = CondKeyPress,
    .destroy = CondDestroy,
    .mouse_press = CondMousePress,
    .layout = CondLayout,
    .focus_change = CondFocused,
    .focus_edge = CondFocusEdge,
};

TXT_WIDGET* TXT_NewConditional(const int* var, int value, TXT_WIDGET* child)
{
    auto* c = new TXT_CONDITIONAL;
    TXT_InitWidget(c, &txt_conditional_class);
    c->var = var;
    c->value = value;
    c->child = child;
    child->parent = c;
    return c;
}

// Finds needle inside w (a table, a conditional or a widget) and selects the path to it.
static bool SelectPath(TXT_WIDGET* w, TXT_WIDGET* needle)
{
    if (w == needle) return true;
    if (w->widget_class == &txt_conditional_class) return SelectPath(CondChild(w), needle);
    if (w->widget_class->layout != TXT_TableLayout) return false;
    TXT_TABLE* t = static_cast<TXT_TABLE*>(w);
    for (size_t i = 0; i < t->cells.size(); i++) {
        TXT_WIDGET* c = t->cells[i];
        if (IsReal(c) && SelectPath(c, needle)) {
            Select(t, static_cast<int>(i % t->columns), static_cast<int>(i / t->columns));
            return true;
        }
    }
    return false;
}

bool TXT_SelectWidget(TXT_TABLE* table, TXT_WIDGET* w)
{
    return SelectPath(table, w);
}

TXT_WIDGET* TXT_GetSelectedWidget(TXT_TABLE* table)
{
    TXT_WIDGET* w = Owner(table, table->selected_x, table->selected_y);
    while (w) {
        if (w->widget_class == &txt_conditional_class) {
            w = CondChild(w);
        } else if (w->widget_class->layout == TXT_TableLayout) {
            TXT_TABLE* t = static_cast<TXT_TABLE*>(w);
            TXT_WIDGET* inner = Owner(t, t->selected_x, t->selected_y);
            if (!inner) return w;
            w = inner;
        } else {
            return w;
        }
    }
    return nullptr;
}
