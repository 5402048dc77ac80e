// Window items: reading them (and refusing damaged ones), drawing every field type and the
// text markup, the accessors with their bounds, and the window table.
#include <array>

#include "input/inputtest.h"
#include "ui/swd_fixture.h"

namespace swdt
{
namespace
{

uint8_t Px(int x, int y)
{
    return vt::Px(x, y);
}

// The bounding box of the pixels of one colour: x0, y0, x1, y1 (x1 < 0 when none).
std::array<int, 4> Box(uint8_t c)
{
    std::array<int, 4> b = {SCREENWIDTH, SCREENHEIGHT, -1, -1};
    for (int y = 0; y < SCREENHEIGHT; y++)
        for (int x = 0; x < SCREENWIDTH; x++)
            if (Px(x, y) == c) {
                b[0] = std::min(b[0], x);
                b[1] = std::min(b[1], y);
                b[2] = std::max(b[2], x);
                b[3] = std::max(b[3], y);
            }
    return b;
}

WinSpec OneButton(int opt = FLD_BUTTON)
{
    WinSpec w;
    FieldSpec f;
    f.opt = opt;
    f.x = 10;
    f.y = 10;
    f.maxchars = 3;
    f.text = "AB";
    w.f = {f};
    w.firstfld = 0;
    return w;
}

// ---- reading -----------------------------------------------------------------------------

TEST_F(SwdTest, ReadsHeaderFieldsAndTexts)
{
    WinSpec w;
    w.id = 65586;
    w.type = 9;
    w.firstfld = 1;
    FieldSpec a;
    a.opt = FLD_TEXT;
    a.maxchars = 12;
    a.text = "CALL SIGN";
    FieldSpec b;
    b.opt = FLD_INPUT;
    b.id = 4;
    b.hotkey = 30;
    b.maxchars = 9;
    b.text = "JO";
    b.x = 5;
    b.y = 6;
    b.lx = 70;
    b.ly = 11;
    FieldSpec off;
    off.opt = FLD_OFF;
    w.f = {a, off, b};
    w.firstfld = 2;
    Build({MakeWindow(w)});
    int h = SWD_InitWindow(Win(0));
    ASSERT_EQ(h, 0);
    EXPECT_EQ(active_window, 0);
    EXPECT_EQ(active_field, 2);
    EXPECT_EQ(SWD_GetWindowID(h), 65586);
    EXPECT_EQ(SWD_GetWindowType(h), 9);
    char t[32];
    EXPECT_EQ(SWD_GetFieldText(h, 0, t, sizeof(t)), 12);
    EXPECT_STREQ(t, "CALL SIGN");
    EXPECT_EQ(SWD_GetFieldText(h, 2, t, sizeof(t)), 9);
    EXPECT_STREQ(t, "JO");
    int x = 0, y = 0, lx = 0, ly = 0;
    SWD_GetFieldXYL(h, 2, &x, &y, &lx, &ly);
    EXPECT_EQ(x, 45);
    EXPECT_EQ(y, 36);
    EXPECT_EQ(lx, 70);
    EXPECT_EQ(ly, 11);
    const SWIN* win = SWD_GetWindow(h);
    EXPECT_EQ(win->flds[2].kbfocus, 1); // text entries always show their focus
    EXPECT_NE(win->flds[2].fontid, -1);
}

TEST_F(SwdTest, DamagedItemsAreRefused)
{
    WinSpec w;
    FieldSpec f;
    f.opt = FLD_BUTTON;
    f.maxchars = 8;
    f.text = "OK";
    w.f = {f, f};
    const std::vector<uint8_t> good = MakeWindow(w);
    auto with = [&good](size_t at, int32_t v) {
        std::vector<uint8_t> b = good;
        Put(b, at, v);
        return b;
    };
    const size_t rec1 = 120 + 148;
    std::vector<std::pair<std::string, std::vector<uint8_t>>> bad = {
        {"shorter than a header", std::vector<uint8_t>(good.begin(), good.begin() + 100)},
        {"records cut off", std::vector<uint8_t>(good.begin(), good.begin() + 120 + 148 + 100)},
        {"more fields than the item holds", with(96, 3)},
        {"negative field count", with(96, -1)},
        {"huge field count", with(96, 0x7fffffff)},
        {"records inside the header", with(76, 0)},
        {"records past the end", with(76, static_cast<int32_t>(good.size()) + 4)},
        {"text past the end", with(rec1 + 140, 148 + 16)},
        {"text offset far away", with(rec1 + 140, 0x7ffffff0)},
        {"text inside the records", with(rec1 + 140, 0)},
        {"text before the item", with(rec1 + 140, -400)},
        {"negative text size", with(rec1 + 92, -5)},
        {"huge text size", with(rec1 + 92, 1 << 30)},
        {"unknown field type", with(rec1, 12)},
        {"negative field type", with(rec1, -1)},
        {"first field past the list", with(84, 2)},
        {"negative width", with(rec1 + 132, -3)},
        {"position that overflows", with(rec1 + 124, 0x7fffffff)},
        {"window size that overflows", with(108, 0x7fffff00)},
        {"background copy too large",
         [&] {
             auto b = with(rec1 + 112, 1);
             Put(b, rec1 + 132, 320);
             Put(b, rec1 + 136, 201);
             return b;
         }()},
    };
    std::vector<std::vector<uint8_t>> items = {good};
    for (auto& [name, b] : bad)
        items.push_back(b);
    Build(items);
    SWIN parsed;
    EXPECT_TRUE(SWD_ParseWindow(good.data(), good.size(), &parsed));
    for (size_t i = 0; i < bad.size(); i++) {
        EXPECT_FALSE(SWD_ParseWindow(bad[i].second.data(), bad[i].second.size(), &parsed))
            << bad[i].first;
        EXPECT_EQ(SWD_InitWindow(Win(static_cast<int>(i) + 1)), -1) << bad[i].first;
        EXPECT_EQ(active_window, -1) << bad[i].first;
    }
    // A good item still loads after all the refusals, into the first slot.
    EXPECT_EQ(SWD_InitWindow(Win(0)), 0);
}

TEST_F(SwdTest, ThirteenthWindowIsRefusedBeforeAnythingIsTaken)
{
    Build({MakeWindow(OneButton())});
    for (int i = 0; i < SWD_MAXWINS; i++)
        ASSERT_EQ(SWD_InitWindow(Win(0)), i);
    EXPECT_EQ(SWD_InitWindow(Win(0)), -1);
    EXPECT_EQ(active_window, SWD_MAXWINS - 1);
    // The refused call took nothing: a freed slot is used again by the next window.
    SWD_DestroyWindow(4);
    EXPECT_EQ(SWD_InitWindow(Win(0)), 4);
}

TEST_F(SwdTest, DestroyingTheTopOfThreeReturnsToTheWindowBefore)
{
    Build({MakeWindow(OneButton())});
    ASSERT_EQ(SWD_InitWindow(Win(0)), 0);
    ASSERT_EQ(SWD_InitWindow(Win(0)), 1);
    ASSERT_EQ(SWD_InitWindow(Win(0)), 2);
    SWD_SetActiveWindow(0);
    ASSERT_EQ(SWD_InitWindow(Win(0)), 3); // opened over window 0
    SWD_DestroyWindow(3);
    EXPECT_EQ(active_window, 0) << "not simply the next lower slot (2)";
    EXPECT_EQ(active_field, 0);
    // Closing the rest in reverse order leaves nothing active.
    SWD_DestroyWindow(2);
    SWD_DestroyWindow(1);
    SWD_DestroyWindow(0);
    EXPECT_EQ(active_window, -1);
    EXPECT_EQ(active_field, -1);
}

// ---- accessors and wrong handles ---------------------------------------------------------

TEST_F(SwdTest, TextCopiesAreBoundedByBothBuffers)
{
    WinSpec w;
    auto text = [](int maxchars, const std::string& s) {
        FieldSpec f;
        f.opt = FLD_TEXT;
        f.maxchars = maxchars;
        f.text = s;
        return f;
    };
    w.f = {text(0, ""), text(9, ""), text(40, "A CALL SIGN LONGER THAN TWELVE"), text(3, "")};
    Build({MakeWindow(w)});
    int h = SWD_InitWindow(Win(0));
    ASSERT_EQ(h, 0);
    char out[16];

    // maxchars 0: nothing fits, and nothing is written past the field.
    EXPECT_EQ(SWD_SetFieldText(h, 0, "HELLO"), 0);
    SWD_GetFieldText(h, 0, out, sizeof(out));
    EXPECT_STREQ(out, "");

    EXPECT_EQ(SWD_SetFieldText(h, 1, "ABCDEFGHIJK"), 9);
    SWD_GetFieldText(h, 1, out, sizeof(out));
    EXPECT_STREQ(out, "ABCDEFGH");
    SWD_SetFieldText(h, 1, nullptr);
    SWD_GetFieldText(h, 1, out, sizeof(out));
    EXPECT_STREQ(out, "");

    // A call sign buffer of 12 bytes takes 11 characters and its terminator; the bytes
    // after it are left alone.
    char callsign[16];
    memset(callsign, '#', sizeof(callsign));
    EXPECT_EQ(SWD_GetFieldText(h, 2, callsign, 12), 40);
    EXPECT_STREQ(callsign, "A CALL SIGN");
    EXPECT_EQ(callsign[12], '#');

    EXPECT_EQ(SWD_SetFieldValue(h, 3, 123456), 3);
    EXPECT_EQ(SWD_GetFieldValue(h, 3), 12);
    SWD_SetFieldValue(h, 3, -7);
    EXPECT_EQ(SWD_GetFieldValue(h, 3), -7);
}

TEST_F(SwdTest, WrongHandlesAndFieldsAreRefused)
{
    Build({MakeWindow(OneButton())});
    int h = SWD_InitWindow(Win(0));
    ASSERT_EQ(h, 0);
    char out[8] = "XYZ";
    for (int bad : {-1, 1, 11, 12, 99}) {
        EXPECT_EQ(SWD_SetFieldText(bad, 0, "A"), 0) << bad;
        EXPECT_EQ(SWD_GetFieldText(bad, 0, out, sizeof(out)), 0) << bad;
        EXPECT_STREQ(out, "");
        EXPECT_EQ(SWD_GetFieldItem(bad, 0), -1);
        SWD_SetFieldMark(bad, 0, 1);
        SWD_SetWindowLock(bad, 1);
        SWD_SetWinDrawFunc(bad, [](SWD_DLG*) {});
        SWD_SetActiveWindow(bad);
        SWD_DestroyWindow(bad);
        SWD_PutWin(bad);
        EXPECT_EQ(active_window, 0) << bad;
    }
    for (int bad : {-1, 1, 8, 20, 1 << 20}) {
        EXPECT_EQ(SWD_SetFieldText(h, bad, "A"), 0) << bad;
        EXPECT_EQ(SWD_SetFieldValue(h, bad, 5), 0) << bad;
        EXPECT_EQ(SWD_SetFieldItemName(h, bad, "PIC"), -1) << bad;
        EXPECT_EQ(SWD_GetFieldMark(h, bad), 0);
        int x = -5;
        SWD_GetFieldXYL(h, bad, &x, nullptr, nullptr, nullptr);
        EXPECT_EQ(x, -5);
        if (bad != -1) { // -1 is no field: a screen may set it
            SWD_SetActiveField(h, bad);
            EXPECT_EQ(active_field, 0) << bad;
        }
    }
}

TEST_F(SwdTest, FieldPicturesAreLockedByIdOrLabel)
{
    WinSpec w = OneButton(FLD_PICTURE);
    w.f[0].picflag = PIC_PICTURE;
    w.f[0].item = "NOSUCH"; // an unknown label leaves the field without a picture
    Build({MakeWindow(w)});
    int h = SWD_InitWindow(Win(0));
    EXPECT_EQ(SWD_GetFieldItem(h, 0), -1);
    EXPECT_EQ(SWD_SetFieldItemName(h, 0, "BIG"), GLB_GetItemID("BIG"));
    char name[16];
    SWD_GetFieldItemName(h, 0, name, sizeof(name));
    EXPECT_STREQ(name, "BIG");
    EXPECT_EQ(SWD_SetFieldItemName(h, 0, "NOSUCH"), -1); // refused: the old one stays
    EXPECT_EQ(SWD_GetFieldItem(h, 0), GLB_GetItemID("BIG"));
    SWD_SetFieldItem(h, 0, GLB_GetItemID("PIC"));
    EXPECT_EQ(SWD_GetFieldItem(h, 0), GLB_GetItemID("PIC"));
    SWD_SetFieldItem(h, 0, 0x10005); // the text item is no picture
    EXPECT_EQ(SWD_GetFieldItem(h, 0), -1);
}

// ---- drawing ----------------------------------------------------------------------------

TEST_F(SwdTest, ColourWindowsGetABevelUnlessFullScreen)
{
    WinSpec small;
    WinSpec full;
    full.x = full.y = 0;
    full.lx = 320;
    full.ly = 200;
    Build({MakeWindow(small), MakeWindow(full)});
    int h = SWD_InitWindow(Win(0));
    SWD_PutWin(h);
    // A raised bevel: light top and right edges, dark bottom and left ones.
    EXPECT_EQ(Px(100, 100), 20);
    EXPECT_EQ(Px(41, 30), 21);
    EXPECT_EQ(Px(239, 60), 21);
    EXPECT_EQ(Px(40, 60), 19);
    EXPECT_EQ(Px(100, 149), 19);
    EXPECT_EQ(Px(39, 60), kBg);
    SWD_DestroyWindow(h);
    Clear();
    h = SWD_InitWindow(Win(1));
    SWD_PutWin(h);
    EXPECT_EQ(vt::CountNot(20), 0);
}

TEST_F(SwdTest, ShadowFallsLeftAndBelow)
{
    WinSpec w;
    w.shadow = 1;
    Build({MakeWindow(w)});
    SWD_PutWin(SWD_InitWindow(Win(0)));
    EXPECT_EQ(Px(35, 100), kBg - 1);  // left strip: x - 8 .. x - 1, from y + 8
    EXPECT_EQ(Px(35, 37), kBg);       // not above y + 8
    EXPECT_EQ(Px(100, 155), kBg - 1); // bottom strip: y + ly .. y + ly + 7
    EXPECT_EQ(Px(100, 158), kBg);
}

TEST_F(SwdTest, ButtonsShowTheirStateAndPressedTextMoves)
{
    Build({MakeWindow(OneButton()), MakeWindow(OneButton(FLD_DRAGBAR))});
    int h = SWD_InitWindow(Win(0));
    SWIN* w = SWD_GetWindow(h);
    SFIELD* f = &w->flds[0];
    // The field lies at 50,40, 20 x 10, colour 40; "AB" is 12 pixels wide.
    SWD_PutField(w, f);
    EXPECT_EQ(Px(51, 45), 40);
    EXPECT_EQ(Px(51, 40), 41); // light top edge
    EXPECT_EQ(Px(69, 42), 41); // light right edge
    EXPECT_EQ(Px(50, 42), 39); // dark left edge
    EXPECT_EQ(Px(60, 49), 39); // dark bottom edge
    auto normal = Box(100);
    EXPECT_EQ(normal[0], 54);
    EXPECT_EQ(normal[1], 41);

    f->state = 1; // highlighted: lighter all over
    SWD_PutField(w, f);
    EXPECT_EQ(Px(51, 45), 41);
    f->state = 2; // pressed: darker, and the text one down and one left
    SWD_PutField(w, f);
    EXPECT_EQ(Px(51, 45), 39);
    EXPECT_EQ(Px(51, 40), 38); // dark top edge, darkened once more
    auto pressed = Box(100);
    EXPECT_EQ(pressed[0], normal[0] - 1);
    EXPECT_EQ(pressed[1], normal[1] + 1);

    // A drag bar's text stays where it is.
    SWD_DestroyWindow(h);
    Clear();
    h = SWD_InitWindow(Win(1));
    w = SWD_GetWindow(h);
    w->flds[0].state = 2;
    SWD_PutField(w, &w->flds[0]);
    // (darkened with the bar, as a drag bar without a picture gets no second text)
    EXPECT_EQ(Box(99)[0], normal[0]);
    EXPECT_EQ(Box(99)[1], normal[1]);
}

TEST_F(SwdTest, EveryFieldTypeDraws)
{
    WinSpec w;
    w.firstfld = -1;
    auto at = [](int opt, int x, int y) {
        FieldSpec f;
        f.opt = opt;
        f.x = x;
        f.y = y;
        return f;
    };
    FieldSpec input = at(FLD_INPUT, 0, 0);
    input.maxchars = 9;
    input.text = "AB";
    input.lx = 40;
    FieldSpec mark = at(FLD_MARK, 50, 0);
    mark.mark = 1;
    FieldSpec box = at(FLD_BOX, 80, 0);
    FieldSpec sunken = at(FLD_SUNKEN, 110, 0);
    sunken.color = 0;
    FieldSpec raised = at(FLD_RAISED, 140, 0);
    FieldSpec pic = at(FLD_PICTURE, 0, 30);
    pic.picflag = PIC_PICTURE;
    pic.item = "BIG"; // 30 x 20 in a 20 x 10 field: scaled down
    FieldSpec tex = at(FLD_BUTTON, 30, 30);
    tex.picflag = PIC_TEXTURE;
    tex.item = "TEX";
    FieldSpec see = at(FLD_MARK, 60, 30);
    see.picflag = PIC_SEETHRU;
    see.item = "SPR";
    FieldSpec text = at(FLD_TEXT, 90, 30);
    text.maxchars = 4;
    text.text = "HI";
    FieldSpec markup = at(FLD_TEXT, 120, 30);
    markup.picflag = PIC_PICTURE;
    markup.item = "TEXT";
    markup.lx = 60;
    FieldSpec glass = at(FLD_BUTTON, 0, 60);
    glass.picflag = PIC_GLASS;
    glass.maxchars = 3;
    glass.text = "OK";
    w.f = {input,
           mark,
           box,
           sunken,
           raised,
           pic,
           tex,
           see,
           text,
           markup,
           glass,
           at(FLD_VIEW, 30, 60),
           at(FLD_MOUSEVIEW, 60, 60)};
    Build({MakeWindow(w)});
    int h = SWD_InitWindow(Win(0));
    SWD_ShowAllWindows();
    // Window at 40,30.
    EXPECT_EQ(Px(40 + 20, 30 + 8), 40);   // entry box in its colour, the text inside
    EXPECT_EQ(Box(100)[0] <= 41, true);   // entry text starts at x + 1
    EXPECT_EQ(Px(90 + 5, 30 + 5), 60);    // marked check box: the inner box of `lite`
    EXPECT_EQ(Px(90 + 2, 30 + 2), 0);     // and the black ring around it
    EXPECT_EQ(Px(120 + 10, 30 + 5), 60);  // filled box
    EXPECT_EQ(Px(150 + 5, 30 + 5), 0);    // sunken frame of colour 0: black inside
    EXPECT_EQ(Px(180 + 5, 30 + 5), 21);   // raised frame: the window lightened
    EXPECT_EQ(Px(40 + 19, 60 + 9), 90);   // the big picture scaled into 20 x 10
    EXPECT_EQ(Px(40 + 20, 60 + 10), 20);  // and not beyond
    EXPECT_EQ(Px(70 + 2, 60 + 5), 13);    // texture tiled (2 x 2: 11 12 / 13 14)
    EXPECT_EQ(Px(100 + 5, 60 + 3), 80);   // see-through sprite
    EXPECT_EQ(Px(100 + 7, 60 + 3), 20);   // nothing drawn around it
    EXPECT_EQ(Px(40 + 1, 90 + 1), 20);    // glass button: only its text, no box
    EXPECT_EQ(Px(70 + 10, 90 + 5), 20);   // view areas draw nothing
    EXPECT_GE(Box(100)[2], 40 + 120 + 5); // the text item was drawn
    SWD_DestroyWindow(h);
}

TEST_F(SwdTest, TextEntryShowsItsFocusWithACursor)
{
    WinSpec w;
    FieldSpec f;
    f.opt = FLD_INPUT;
    f.maxchars = 9;
    f.text = "AB";
    f.x = 10;
    f.y = 10;
    f.lx = 40;
    f.color = 40;
    f.lite = 60;
    w.f = {f};
    Build({MakeWindow(w)});
    SWIN* win = SWD_GetWindow(SWD_InitWindow(Win(0)));
    SFIELD* e = &win->flds[0];
    SWD_PutField(win, e);
    EXPECT_EQ(Px(50 + 35, 40 + 5), 40);
    EXPECT_EQ(Box(100)[0], 51);
    EXPECT_EQ(Box(100)[2], 51 + 10); // "AB" with no cursor
    e->state = 1;
    SWD_PutField(win, e);
    EXPECT_EQ(Px(50 + 35, 40 + 5), 60);
    // The cursor after the text (pixel length 12): a line from y + 1, six pixels long.
    EXPECT_EQ(Px(50 + 13, 41), 100);
    EXPECT_EQ(Px(50 + 13, 46), 100);
    EXPECT_EQ(Px(50 + 13, 47), 60);
}

SWD_DLG hooked;
int hookcalls;

TEST_F(SwdTest, DrawHooksGetTheFirstViewArea)
{
    WinSpec bare;
    WinSpec view;
    FieldSpec box;
    box.opt = FLD_BOX;
    FieldSpec area;
    area.opt = FLD_VIEW;
    area.x = 12;
    area.y = 34;
    area.lx = 56;
    area.ly = 78;
    FieldSpec later = area;
    later.x = 99;
    view.f = {box, area, later};
    view.id = 5;
    view.type = 6;
    Build({MakeWindow(bare), MakeWindow(view)});
    auto hook = [](SWD_DLG* d) {
        hooked = *d;
        hookcalls++;
    };
    int h = SWD_InitWindow(Win(0));
    SWD_SetWinDrawFunc(h, hook);
    hookcalls = 0;
    SWD_PutWin(h);
    EXPECT_EQ(hookcalls, 1);
    EXPECT_EQ(hooked.x, 0);
    EXPECT_EQ(hooked.width, 0);
    EXPECT_EQ(Px(100, 100), 20) << "the body is drawn";
    h = SWD_InitWindow(Win(1));
    SWD_SetWinDrawFunc(h, hook);
    SWD_PutWin(h);
    EXPECT_EQ(hookcalls, 2);
    EXPECT_EQ(hooked.window, h);
    EXPECT_EQ(hooked.id, 5);
    EXPECT_EQ(hooked.type, 6);
    EXPECT_EQ(hooked.x, 12);
    EXPECT_EQ(hooked.y, 34);
    EXPECT_EQ(hooked.width, 56);
    EXPECT_EQ(hooked.height, 78);
    // A destroyed window's hook is gone with it.
    SWD_DestroyWindow(h);
    SWD_PutWin(h);
    EXPECT_EQ(hookcalls, 2 + 1) << "only the redraw of the window below ran a hook";
}

TEST_F(SwdTest, SavedBackgroundsAreRestoredBeforeEachRedraw)
{
    WinSpec w;
    FieldSpec glass;
    glass.opt = FLD_BUTTON;
    glass.picflag = PIC_GLASS;
    glass.saveflag = 1;
    glass.x = 10;
    glass.y = 10;
    w.f = {glass};
    Build({MakeWindow(w)});
    int h = SWD_InitWindow(Win(0));
    SWD_PutWin(h);
    SWIN* win = SWD_GetWindow(h);
    SFIELD* f = &win->flds[0];
    for (int i = 0; i < 3; i++) { // highlighting again and again does not pile up
        f->state = 1;
        SWD_PutField(win, f);
    }
    EXPECT_EQ(Px(55, 45), 21);
    f->state = 0;
    SWD_PutField(win, f);
    EXPECT_EQ(Px(55, 45), 20) << "the window shows through again";
}

// ---- text markup --------------------------------------------------------------------------

class MarkupTest : public SwdTest
{
  protected:
    // Draws the text item into the box at 10,10 of 100 x 60 in colour 5.
    void Fill(const std::string& text)
    {
        Build({}, text);
        Clear();
        const uint8_t* font = GLB_GetItem(GLB_GetItemID("FONT"));
        SWD_FillText(font, GLB_GetItemID("TEXT"), 5, 10, 10, 100, 60);
    }
};

TEST_F(MarkupTest, LinesAdvanceByTheFontHeightAndBlankLinesTakeNoRoom)
{
    Fill("A\r\n\r\n\r\nB\r\n\r\n\r\n\r\n");
    auto a = Box(5);
    EXPECT_EQ(a[0], 10);
    EXPECT_EQ(a[1], 10);
    EXPECT_EQ(a[3], 10 + 10 + 6); // B's last row: one line (7 + 3) further down
}

TEST_F(MarkupTest, ColourCommandKeepsTheColourForNumbersOutOfRange)
{
    Fill("TEXT_COLOR 300\r\nA\r\nTEXT_COLOR 7\r\nB");
    EXPECT_EQ(Box(5)[1], 10);
    EXPECT_EQ(Box(7)[1], 20);
    Fill("TEXT_COLOR -1\r\nA");
    EXPECT_EQ(Box(5)[0], 10);
}

TEST_F(MarkupTest, RightAndDownNeedANumber)
{
    Fill("TEXT_RIGHT\r\nA");
    EXPECT_EQ(Box(5)[0], 10);
    Fill("TEXT_RIGHT 20\r\nTEXT_DOWN\r\nA");
    EXPECT_EQ(Box(5)[0], 30);
    EXPECT_EQ(Box(5)[1], 10);
    Fill("TEXT_DOWN 15,A\r\nA");
    EXPECT_EQ(Box(5)[1], 25);
    // Beyond the box's right edge coordinate the move is ignored.
    Fill("TEXT_RIGHT 200\r\nA");
    EXPECT_EQ(Box(5)[0], 10);
}

TEST_F(MarkupTest, PositionAndImageCommands)
{
    Fill("TEXT_POS 5 20\r\nA");
    EXPECT_EQ(Box(5)[0], 15);
    EXPECT_EQ(Box(5)[1], 30);
    // A picture at 3,4 in the box; the text goes on to its right, on its top line.
    Fill("TEXT_IMAGE PIC 3 4\r\nA");
    auto pic = Box(70);
    EXPECT_EQ(pic[0], 13);
    EXPECT_EQ(pic[1], 14);
    EXPECT_EQ(Box(5)[0], 13 + 6 + 1);
    EXPECT_EQ(Box(5)[1], 14);
    Fill("TEXT_IMAGE NOSUCH 3 4\r\nA");
    EXPECT_EQ(Box(5)[0], 10);
    Fill("TEXT_IMAGE PIC 500 4\r\nA"); // outside the box: skipped
    EXPECT_EQ(Box(70)[2], -1);
}

TEST_F(MarkupTest, LongLinesAreCut)
{
    Fill(std::string(200, 'A') + "\r\nB");
    // 83 characters of 6 pixels run off the screen; the next line still comes.
    EXPECT_EQ(Box(5)[3], 26);
}

} // namespace
} // namespace swdt
