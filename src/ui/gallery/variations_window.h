#pragma once

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QWidget>
#include <array>

#include "core/editor/scene_editor.h"
#include "core/variations/variations.h"
#include "ui/gallery/thumbnail_drawer.h"

namespace ramifex
{

// A window of nine thumbnails: the editor's scene in the middle and eight variations of it around
// it, made from the seed it shows at the strength chosen. More makes eight others from the next
// seed. Clicking a variation adopts it as one edit, and it becomes the middle with eight new
// variations around it; any other change of the scene does the same once it settles, or when the
// window shows again.
class VariationsWindow final : public QWidget
{
    Q_OBJECT

public:
    // The editor outlives the window.
    explicit VariationsWindow(SceneEditor& editor, QWidget* parent = nullptr);
    ~VariationsWindow() override;

    const std::array<SceneState, VariationCount>& Variations() const { return variations_; }
    QToolButton& VariationButton(int index) { return *buttons_[index]; }
    QLabel& Middle() { return middle_; }
    QComboBox& Strength() { return strength_; }
    QSpinBox& Seed() { return seed_; }
    QPushButton& More() { return more_; }
    bool Drawing() const { return drawer_.Drawing(); }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLayout* MakeGrid();
    QLayout* MakeControls();
    void Adopt(int index);
    void FollowEditor();
    void Remake();
    void ShowThumbnail(size_t index, const QImage& picture);

    SceneEditor& editor_;
    SceneEditor::ListenerId listener_;
    SceneState middleScene_;
    std::array<SceneState, VariationCount> variations_;
    ThumbnailDrawer drawer_;
    QTimer settle_;  // edits in a row, such as a drag, remake the variations once
    QLabel middle_;
    std::array<QToolButton*, VariationCount> buttons_{};
    QComboBox strength_;
    QSpinBox seed_;
    QPushButton more_{QStringLiteral("&More")};
};

}  // namespace ramifex
