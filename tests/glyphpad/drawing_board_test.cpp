// The drawing tools pixel by pixel, the selection, undo and the Edit commands.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "drawing_board.h"

namespace {

const ColorRef kInk = VgaPalette()[7];   // red
const ColorRef kOther = VgaPalette()[4]; // blue

// The top-left w x h cells as text: '.' transparent, '#' ink, 'o' the other colour.
std::vector<std::string> Art(const CPixelPicture& p, int w, int h)
{
    std::vector<std::string> rows;
    for (int y = 0; y < h; ++y) {
        std::string row;
        for (int x = 0; x < w; ++x) {
            ColorRef c = p.Get(x, y);
            row += c == kTransparentColor ? '.' : c == kInk ? '#' : c == kOther ? 'o' : '?';
        }
        rows.push_back(row);
    }
    return rows;
}

size_t CountNot(const CPixelPicture& p, ColorRef color)
{
    size_t n = 0;
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x)
            n += p.Get(x, y) != color;
    return n;
}

void Drag(CDrawingBoard& board, std::vector<SCell> cells)
{
    board.ButtonDown(cells.front());
    for (size_t i = 1; i < cells.size(); ++i)
        board.Move(cells[i]);
    board.ButtonUp();
}

CDrawingBoard Board(ETool tool, int size = 32)
{
    CDrawingBoard board(size, VgaPalette());
    board.SetTool(tool);
    board.SetColor(kInk);
    return board;
}

TEST(DrawingTools, ShapesPixelByPixel)
{
    const struct {
        const char* name;
        ETool tool;
        std::vector<SCell> drag;
        std::vector<std::string> art; // top-left 7 x 7
    } cases[] = {
        {"line along row 0 keeps its end",
         TOOL_LINE,
         {{0, 0}, {2, 0}, {3, 0}},
         {"####...", ".......", ".......", ".......", ".......", ".......", "......."}},
        {"line follows the pointer",
         TOOL_LINE,
         {{0, 0}, {6, 6}, {4, 2}},
         {"#......", ".##....", "...##..", ".......", ".......", ".......", "......."}},
        {"square in one column is a line",
         TOOL_SQUARE,
         {{1, 1}, {1, 5}},
         {".......", ".#.....", ".#.....", ".#.....", ".#.....", ".#.....", "......."}},
        {"square outline both corners included",
         TOOL_SQUARE,
         {{1, 1}, {4, 3}},
         {".......", ".####..", ".#..#..", ".####..", ".......", ".......", "......."}},
        {"painted square",
         TOOL_FILLED_SQUARE,
         {{4, 3}, {1, 1}},
         {".......", ".####..", ".####..", ".####..", ".......", ".......", "......."}},
        {"painted square in one row is a line",
         TOOL_FILLED_SQUARE,
         {{0, 2}, {5, 2}},
         {".......", ".......", "######.", ".......", ".......", ".......", "......."}},
        {"ellipse two cells wide is a rectangle outline",
         TOOL_ELLIPSE,
         {{1, 1}, {2, 5}},
         {".......", ".##....", ".##....", ".##....", ".##....", ".##....", "......."}},
        {"painted ellipse two high is a rectangle outline",
         TOOL_FILLED_ELLIPSE,
         {{0, 0}, {5, 1}},
         {"######.", "######.", ".......", ".......", ".......", ".......", "......."}},
        {"ellipse 5 x 5",
         TOOL_ELLIPSE,
         {{0, 0}, {4, 4}},
         {".###...", "#...#..", "#...#..", "#...#..", ".###...", ".......", "......."}},
        {"painted ellipse 5 x 5",
         TOOL_FILLED_ELLIPSE,
         {{0, 0}, {4, 4}},
         {".###...", "#####..", "#####..", "#####..", ".###...", ".......", "......."}},
        {"ellipse 7 x 4",
         TOOL_ELLIPSE,
         {{0, 0}, {6, 3}},
         {".#####.", "#.....#", "#.....#", ".#####.", ".......", ".......", "......."}},
        {"pencil joins the pointer's cells",
         TOOL_PENCIL,
         {{0, 0}, {3, 0}, {3, 3}},
         {"####...", "...#...", "...#...", "...#...", ".......", ".......", "......."}},
        {"a click of the pencil sets one pixel",
         TOOL_PENCIL,
         {{2, 2}},
         {".......", ".......", "..#....", ".......", ".......", ".......", "......."}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CDrawingBoard board = Board(c.tool);
        Drag(board, c.drag);
        EXPECT_EQ(Art(board.GetPicture(), 7, 7), c.art);
        size_t inked = 0;
        for (const std::string& row : c.art)
            inked += static_cast<size_t>(std::count(row.begin(), row.end(), '#'));
        EXPECT_EQ(CountNot(board.GetPicture(), kTransparentColor), inked) << "nothing outside the shown cells";
        EXPECT_TRUE(board.IsChanged());
        EXPECT_TRUE(board.CanUndo());
    }
}

TEST(DrawingTools, EraserPaintsTransparent)
{
    CDrawingBoard board = Board(TOOL_FILLED_SQUARE);
    Drag(board, {{0, 0}, {3, 3}});
    board.SetTool(TOOL_ERASER);
    Drag(board, {{0, 1}, {5, 1}});
    EXPECT_EQ(Art(board.GetPicture(), 5, 4), (std::vector<std::string>{"####.", ".....", "####.", "####."}));
}

TEST(DrawingTools, BucketFillsTheConnectedAreaOnly)
{
    CDrawingBoard board = Board(TOOL_SQUARE, 32);
    Drag(board, {{0, 0}, {4, 4}}); // a closed box
    board.SetTool(TOOL_BUCKET);
    board.SetColor(kOther);
    Drag(board, {{2, 2}});
    EXPECT_EQ(Art(board.GetPicture(), 6, 6),
              (std::vector<std::string>{"#####.", "#ooo#.", "#ooo#.", "#ooo#.", "#####.", "......"}));
    EXPECT_EQ(CountNot(board.GetPicture(), kTransparentColor), 25u);

    // The transparent area outside the box: every transparent pixel but those inside it.
    Drag(board, {{10, 10}});
    EXPECT_EQ(CountNot(board.GetPicture(), kTransparentColor), 32u * 32u);
    EXPECT_EQ(CountNot(board.GetPicture(), kOther), 16u) << "only the box's outline stays red";
}

TEST(DrawingTools, BucketTakesColoursWithinTenAsTheSame)
{
    CDrawingBoard board = Board(TOOL_PENCIL, 32);
    CPixelPicture picture(32, 32, MakeColor(250, 5, 5)); // near red
    picture.Set(0, 0, MakeColor(241, 0, 0));             // 14 away from the clicked pixel, 14 from red
    picture.Set(1, 0, MakeColor(246, 0, 9));             // within 10 of red
    board.SetPicture(picture);
    board.SetTool(TOOL_BUCKET);
    board.SetColor(kOther);
    Drag(board, {{5, 5}});
    EXPECT_EQ(board.GetPicture().Get(0, 0), MakeColor(241, 0, 0));
    EXPECT_EQ(board.GetPicture().Get(1, 0), kOther);
    EXPECT_EQ(CountNot(board.GetPicture(), kOther), 1u);
}

TEST(DrawingTools, PointsBeyondTheGridGiveTheEdgeCell)
{
    CDrawingBoard board = Board(TOOL_PENCIL, 32);
    const struct {
        int px, py;
        SCell cell;
    } points[] = {{0, 0, {0, 0}}, {9, 19, {0, 1}}, {319, 10, {31, 1}}, {320, 10, {31, 1}}, {-5, 400, {0, 31}}};
    for (const auto& p : points)
        EXPECT_EQ(board.CellAt(p.px, p.py, 10), p.cell) << p.px << "," << p.py;
}

TEST(EditCommands, UndoRestoresThePictureAtButtonDownOnce)
{
    CDrawingBoard board = Board(TOOL_PENCIL);
    Drag(board, {{0, 0}, {1, 0}});
    CPixelPicture before = board.GetPicture();
    Drag(board, {{5, 5}, {5, 9}, {9, 9}});
    EXPECT_NE(board.GetPicture(), before);
    board.Undo();
    EXPECT_EQ(board.GetPicture(), before);
    EXPECT_FALSE(board.CanUndo());
    board.Undo();
    EXPECT_EQ(board.GetPicture(), before) << "a second undo changes nothing";
}

TEST(EditCommands, SelectionIsLiftedAndDragged)
{
    CDrawingBoard board = Board(TOOL_FILLED_SQUARE);
    Drag(board, {{1, 1}, {2, 2}});
    board.SetTool(TOOL_SELECT);
    EXPECT_FALSE(board.HasSelection());
    EXPECT_EQ(board.GetSelection(), (SCellRect{32, 32, 32, 32}));
    Drag(board, {{3, 3}}); // a single cell is no selection
    EXPECT_FALSE(board.HasSelection());
    Drag(board, {{2, 2}, {1, 1}});
    ASSERT_TRUE(board.HasSelection());
    EXPECT_EQ(board.GetSelection(), (SCellRect{1, 1, 2, 2}));
    board.ClearChanged();

    Drag(board, {{1, 1}, {2, 1}, {4, 2}}); // inside: moves it by (3, 1)
    EXPECT_TRUE(board.IsLifted());
    EXPECT_EQ(board.GetSelection(), (SCellRect{4, 2, 5, 3}));
    EXPECT_EQ(Art(board.GetPicture(), 7, 5),
              (std::vector<std::string>{".......", ".......", "....##.", "....##.", "......."}));
    EXPECT_TRUE(board.IsChanged());

    board.Undo();
    EXPECT_EQ(Art(board.GetPicture(), 7, 5),
              (std::vector<std::string>{".......", ".##....", ".##....", ".......", "......."}));
    EXPECT_EQ(board.GetSelection(), (SCellRect{1, 1, 2, 2}));
    EXPECT_EQ(board.GetTool(), TOOL_SELECT);
}

TEST(EditCommands, CutCopyPasteClearAndSelectAll)
{
    CDrawingBoard board = Board(TOOL_FILLED_SQUARE);
    Drag(board, {{0, 0}, {2, 1}});
    board.SetTool(TOOL_SELECT);
    CPixelPicture clip;
    EXPECT_FALSE(board.Copy(clip)) << "nothing selected";
    Drag(board, {{0, 0}, {1, 1}});
    ASSERT_TRUE(board.Copy(clip));
    EXPECT_EQ(Art(clip, 2, 2), (std::vector<std::string>{"##", "##"}));

    ASSERT_TRUE(board.Cut(clip));
    EXPECT_FALSE(board.HasSelection());
    EXPECT_EQ(Art(board.GetPicture(), 4, 2), (std::vector<std::string>{"..#.", "..#."}));
    board.Undo();
    EXPECT_EQ(Art(board.GetPicture(), 4, 2), (std::vector<std::string>{"###.", "###."}));

    // A pasted picture is reduced to table colours and can be dragged into place.
    CPixelPicture outside(2, 1, MakeColor(3, 2, 250)); // nearly blue
    outside.Set(1, 0, MakeColor(0xA0, 0xC0, 0xE0));    // nearly the transparent colour
    board.SetTool(TOOL_PENCIL);
    board.Paste(outside);
    EXPECT_EQ(board.GetTool(), TOOL_SELECT);
    EXPECT_TRUE(board.IsLifted());
    Drag(board, {{0, 0}, {0, 3}});
    EXPECT_EQ(Art(board.GetPicture(), 4, 4), (std::vector<std::string>{"###.", "###.", "....", "o..."}));

    board.SelectAll();
    EXPECT_EQ(board.GetSelection(), (SCellRect{0, 0, 31, 31}));
    board.ClearAll();
    EXPECT_FALSE(board.HasSelection());
    EXPECT_EQ(CountNot(board.GetPicture(), kTransparentColor), 0u);
    board.Undo();
    EXPECT_EQ(board.GetPicture().Get(0, 3), kOther);
}

TEST(EditCommands, CuttingALiftedSelectionKeepsWhatItCovered)
{
    // Red in the top-left 3 x 2 cells, blue in the 2 x 2 cells at (4, 0).
    const std::vector<std::string> drawn = {"###.oo", "###.oo", "......", "......"};
    const struct {
        const char* name;
        std::function<void(CDrawingBoard&)> lift;
        std::vector<std::string> afterCut;
    } cases[] = {
        {"a pasted picture", [](CDrawingBoard& b) { b.Paste(CPixelPicture(2, 2, kOther)); }, drawn},
        // The red 2 x 2 corner dragged over the blue: its own place is empty, the blue stays.
        {"a selection dragged over another drawing",
         [](CDrawingBoard& b) {
             b.SetTool(TOOL_SELECT);
             Drag(b, {{0, 0}, {1, 1}});
             Drag(b, {{0, 0}, {4, 0}});
         },
         {"..#.oo", "..#.oo", "......", "......"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CDrawingBoard board = Board(TOOL_FILLED_SQUARE);
        Drag(board, {{0, 0}, {2, 1}});
        board.SetColor(kOther);
        Drag(board, {{4, 0}, {5, 1}});
        ASSERT_EQ(Art(board.GetPicture(), 6, 4), drawn);
        c.lift(board);
        ASSERT_TRUE(board.IsLifted());
        const CPixelPicture lifted = board.GetPicture();
        CPixelPicture clip;
        ASSERT_TRUE(board.Cut(clip));
        EXPECT_EQ(clip.Width(), 2);
        EXPECT_EQ(Art(board.GetPicture(), 6, 4), c.afterCut);
        EXPECT_FALSE(board.HasSelection());
        board.Undo();
        EXPECT_EQ(board.GetPicture(), lifted) << "undo brings the cut piece back";
    }
}

} // namespace
