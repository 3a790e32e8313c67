#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/editor/scene_editor.h"

namespace ramifex
{
namespace
{

// What actually differs between two states of an editor whose current record was "branch 2".
SceneChange Difference(const SceneState& before, const SceneEditor& after)
{
    unsigned records = 0;
    for (int i = 0; i < 3; ++i)
    {
        records |= (after.Scene().Records[i] != before.Records[i] ? 1u : 0u) << i;
    }
    return {.Records = static_cast<uint8_t>(records),
            .Iterations = after.Scene().Iterations != before.Iterations,
            .ViewOffset = after.Scene().ViewOffset != before.ViewOffset,
            .Selection = after.Current() != Branch2Record};
}

struct Edit
{
    std::string Name;
    void (*Run)(SceneEditor& editor);
    std::vector<SceneChange> Announced;
    bool Redraw;
};

// Every edit, made with "branch 2" current: it announces exactly what it changed, and asks for a
// redraw exactly when the picture must restart.
TEST(SceneEditor, EachEditAnnouncesWhatItChangedAndRequestsARedraw)
{
    const SceneChange branch2{.Records = 0b100};
    const SceneChange iterations{.Iterations = true};
    const Edit edits[] = {
        {"sliders",
         [](SceneEditor& e) {
             e.ApplySliders({100, {0, 3, 4}, 0.5, -2, 0.25});
         },
         {branch2},
         true},
        {"iterations", [](SceneEditor& e) { e.SetIterations(7); }, {iterations}, true},
        {"too few", [](SceneEditor& e) { e.SetIterations(-3); }, {iterations}, true},
        {"too many", [](SceneEditor& e) { e.SetIterations(99); }, {iterations}, true},
        {"randomize", [](SceneEditor& e) { e.Randomize(); }, {{.Records = 0b111}}, true},
        {"colour",
         [](SceneEditor& e) {
             e.SetCurrentColour({1, 0.5, 0});
         },
         {branch2},
         true},
        {"turn current", [](SceneEditor& e) { e.RotateCurrentRecord(10, -5); }, {branch2}, true},
        {"turn base", [](SceneEditor& e) { e.RotateBaseRecord(10, -5); }, {{.Records = 1}}, true},
        {"no movement", [](SceneEditor& e) { e.RotateBaseRecord(0, 0); }, {}, false},
        {"open",
         [](SceneEditor& e) {
             e.OpenScene({.Iterations = 9, .ViewOffset = {1, 2, 3}});
         },
         {{.Records = 0b111, .Iterations = true, .ViewOffset = true}},
         true},
        {"move view", [](SceneEditor& e) { e.MoveView(0, 0, 0.5); }, {{.ViewOffset = true}}, true},
        {"redraw", [](SceneEditor& e) { e.RequestRedraw(); }, {}, true},
        {"select", [](SceneEditor& e) { e.Select(BaseRecord); }, {{.Selection = true}}, false},
        {"select nothing", [](SceneEditor& e) { e.Select(3); }, {}, false},
        {"initialise",
         [](SceneEditor& e) { e.Initialise(); },
         {{.Records = 1, .Selection = true}},
         true},
    };
    for (const Edit& edit : edits)
    {
        SceneEditor editor;
        editor.Seed(5);
        editor.Randomize();  // axes a drag can turn
        editor.Select(Branch2Record);
        editor.RedrawFlag() = false;  // as a frame tick leaves it
        const SceneState before = editor.Scene();
        std::vector<SceneChange> announced;
        editor.AddListener([&](const SceneChange& change) { announced.push_back(change); });
        editor.RemoveListener(editor.AddListener([&](const SceneChange&) { ADD_FAILURE(); }));

        edit.Run(editor);
        EXPECT_EQ(announced, edit.Announced) << edit.Name;
        EXPECT_EQ(Difference(before, editor), edit.Announced.empty() ? SceneChange{} : announced[0])
            << edit.Name;
        EXPECT_EQ(editor.RedrawRequested(), edit.Redraw) << edit.Name;
    }
}

}  // namespace
}  // namespace ramifex
