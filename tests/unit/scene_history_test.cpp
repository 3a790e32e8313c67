#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "ui/document/scene_history.h"

namespace ramifex
{
namespace
{

constexpr Vec3 Violet{0.5, 0.0, 1.0};

SliderValues Sliders(double angle)
{
    return {angle, {0.0, 1.0, 0.0}, angle / 10, 0.0, 0.0};
}

struct Row
{
    void (*Edit)(SceneEditor& editor);
    int Steps;             // in the history afterwards
    const char* UndoText;  // of the newest step
};

// One user action at a time, each ending as one step, undone to the start and redone to the end;
// a restored scene is a copy, so it equals bit for bit.
TEST(SceneHistory, OneStepPerUserActionUndoneToTheStartAndRedoneToTheEnd)
{
    SceneEditor editor;
    editor.Seed(3);
    editor.Initialise();
    SceneHistory history(editor);
    QUndoStack& stack = history.Stack();
    const SceneState start = editor.Scene();
    const Row rows[] = {
        {[](SceneEditor& e) { e.ApplySliders(Sliders(0.18)); }, 1, "Move Slider"},  // a key
        {[](SceneEditor& e) { e.BeginGesture(); }, 1, "Move Slider"},  // a slider dragged
        {[](SceneEditor& e) { e.ApplySliders(Sliders(0.36)); }, 2, "Move Slider"},
        {[](SceneEditor& e) { e.EndGesture(); }, 2, "Move Slider"},
        {[](SceneEditor& e) { e.SetIterations(1); }, 3, "Set Iterations"},  // typing runs on
        {[](SceneEditor& e) { e.SetIterations(12); }, 3, "Set Iterations"},
        {[](SceneEditor& e) { e.Select(Branch2Record); }, 3, "Set Iterations"},  // ends the run
        {[](SceneEditor& e) { e.SetIterations(13); }, 4, "Set Iterations"},
        {[](SceneEditor& e) { e.Randomize(); }, 5, "Randomize"},
        {[](SceneEditor& e) { e.SetCurrentColour(Violet); }, 6, "Choose Color"},
        {[](SceneEditor& e) { e.BeginGesture(); }, 6, "Choose Color"},  // Shift let go halfway
        {[](SceneEditor& e) { e.RotateCurrentRecord(3, 4); }, 7, "Turn"},
        {[](SceneEditor& e) { e.RotateBaseRecord(-7, 2); }, 7, "Turn"},
        {[](SceneEditor& e) { e.Select(Branch1Record); }, 7, "Turn"},
        {[](SceneEditor& e) { e.RotateCurrentRecord(1, 1); }, 7, "Turn"},
        {[](SceneEditor& e) { e.EndGesture(); }, 7, "Turn"},
        {[](SceneEditor& e) { e.Zoom(1); }, 8, "Zoom"},  // wheel notches run on
        {[](SceneEditor& e) { e.Zoom(0.25); }, 8, "Zoom"},
        {[](SceneEditor& e) { e.MoveView(0.1, 0, 0); }, 9, "Move"},
        {[](SceneEditor& e) { e.RotateBaseRecord(5, 0); }, 10, "Turn"},  // arrow keys do not
        {[](SceneEditor& e) { e.RotateBaseRecord(5, 0); }, 11, "Turn"},
        {[](SceneEditor& e) { e.ResetView(); }, 12, "Reset View"},
        {[](SceneEditor& e) { e.ResetView(); }, 12, "Reset View"},  // changes nothing
        {[](SceneEditor& e) { e.SetIterations(30); }, 13, "Set Iterations"},
        {[](SceneEditor& e) { e.SetIterations(13); }, 12, "Reset View"},  // typed back
        {[](SceneEditor& e)
         {
             SceneState variation = e.Scene();
             variation.Records[Branch1Record].Scale = 0.3;
             e.AdoptVariation(variation);
         },
         13, "Variation"},
    };
    for (size_t row = 0; row < std::size(rows); ++row)
    {
        rows[row].Edit(editor);
        EXPECT_EQ(stack.count(), rows[row].Steps) << "row " << row;
        EXPECT_EQ(stack.undoText().toStdString(), rows[row].UndoText) << "row " << row;
    }
    const SceneState end = editor.Scene();

    editor.RedrawFlag() = false;
    while (stack.canUndo())
    {
        stack.undo();
    }
    EXPECT_TRUE(editor.RedrawRequested());
    EXPECT_EQ(editor.Scene(), start);
    // Only the turn changed the record being edited; a plain selection is no step.
    EXPECT_EQ(editor.Current(), Branch2Record);
    while (stack.canRedo())
    {
        stack.redo();
    }
    EXPECT_EQ(editor.Scene(), end);
    EXPECT_EQ(editor.Current(), Branch1Record);
}

TEST(SceneHistory, KeepsTheNewestStepsUpToItsLimit)
{
    SceneEditor editor;
    SceneHistory history(editor);
    std::vector<SceneState> scenes{editor.Scene()};
    for (int step = 0; step < SceneHistory::Limit + 20; ++step)
    {
        editor.Randomize();
        scenes.push_back(editor.Scene());
    }
    EXPECT_EQ(history.Stack().count(), SceneHistory::Limit);
    while (history.Stack().canUndo())
    {
        history.Stack().undo();
    }
    EXPECT_EQ(editor.Scene(), scenes[20]);
}

// The file follows the places in the history: saved where it was last read or written, whatever
// happened since; an edit keeps the file, a Save As names only the places from there on. A scene
// opened from no file, such as an example, has no file and the title given at its place alone.
TEST(SceneHistory, TheScenesFileFollowsUndoAndRedo)
{
    SceneEditor editor;
    SceneHistory history(editor);
    int heard = 0;
    history.SetFileListener([&heard] { ++heard; });
    SceneState opened;
    opened.Iterations = 9;
    const auto undo = [&] { history.Stack().undo(); };
    const auto redo = [&] { history.Stack().redo(); };
    const auto holds = [&](const char* path)
    { return [&history, path] { history.FileHolds(path); }; };
    const auto zoom = [&] { editor.Zoom(1); };
    struct FileRow
    {
        std::function<void()> Step;
        const char* File;
        bool Modified;
        const char* Title = "";
    };
    const FileRow rows[] = {
        {[] {}, "", true},
        {[&]
         {
             editor.OpenScene(opened);
             history.FileHolds("a");
         },
         "a", false},
        {zoom, "a", true},
        {undo, "a", false},
        {redo, "a", true},
        {holds("a"), "a", false},
        {zoom, "a", true},  // the zoom runs on: its step ends at a place the file does not hold
        {undo, "a", true},
        {redo, "a", true},
        {holds("b"), "b", false},
        {[&] { editor.Randomize(); }, "b", true},
        {undo, "b", false},
        {undo, "a", true},
        {undo, "", true},
        {redo, "a", true},
        {redo, "b", false},
        {[&]
         {
             editor.OpenScene(opened);
             history.NameScene("Example: Fern");
         },
         "", true, "Example: Fern"},
        {zoom, "", true},
        {undo, "", true, "Example: Fern"},
        {undo, "b", false},
        {redo, "", true, "Example: Fern"},
    };
    for (size_t row = 0; row < std::size(rows); ++row)
    {
        const int heardBefore = heard;
        rows[row].Step();
        EXPECT_EQ(history.FilePath().toStdString(), rows[row].File) << "row " << row;
        EXPECT_EQ(history.Modified(), rows[row].Modified) << "row " << row;
        EXPECT_EQ(history.Title().toStdString(), rows[row].Title) << "row " << row;
        EXPECT_TRUE(row == 0 || heard > heardBefore) << "row " << row;
    }
}

}  // namespace
}  // namespace ramifex
