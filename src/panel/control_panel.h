#pragma once

#include <QColor>
#include <QDialog>
#include <QIcon>
#include <QImage>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>

#include "editor/scene_editor.h"
#include "history/scene_history.h"
#include "panel/dialog_template.h"
#include "render/millisecond_clock.h"
#include "render/tree_renderer.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMenuBar;
class QPushButton;
class QSlider;

namespace ramifex
{

// One entry of the record list: the row the list reported when the name was added, and the record
// it names.
struct BranchSlot
{
    int32_t ListIndex = -1;
    const BranchParams* Record = nullptr;
};

// What the panel drives but does not own.
struct PanelServices
{
    SceneEditor& Editor;              // every edit goes through it; it outlives the panel
    std::function<void()> FrameTick;  // runs on every timer tick
    MillisecondClock& Clock;          // seeds the generator at initialisation
    std::function<bool(Navigator&)> OpenViewer;  // opens the viewer; the panel runs on either way
    std::function<WalkProgress()> Progress;      // how far the picture is; none: no status shown
};

// Asks the user for a colour, starting from `initial`, in a chooser owned by `owner`; nothing when
// the user cancels.
using ColourChooser = std::function<std::optional<QColor>(QWidget& owner, const QColor& initial)>;

// The program's main window and a view of the scene editor: its controls edit the three records
// and the iteration count through the editor, and its 50 ms timer drives the frame tick. Edits
// never draw; they change the scene and request a redraw, and the next tick restarts the picture.
class ControlPanel final : public QDialog
{
    Q_OBJECT

public:
    static constexpr int TickMilliseconds = 50;

    explicit ControlPanel(PanelServices services, QWidget* parent = nullptr);
    ~ControlPanel() override;

    // Sets the panel up and opens the viewer; run once, before the panel is shown.
    void Initialise();

    // Initialises and shows the panel, then runs until it is done (OK, Cancel, Escape, the close
    // box) with QDialog's result, or until the application is told to exit (the viewer was
    // closed) with -1. Other windows stay usable meanwhile, unlike QDialog::exec(). The panel is
    // hidden and its timer stopped on return.
    int RunModal();

    // One frame tick; the timer calls it.
    void Tick();

    void ShowCurrentRecord();
    void ShowRecordIfCurrent(const BranchParams* record);
    void ReadSliders();

    bool RedrawRequested() const { return services_.Editor.RedrawRequested(); }
    int32_t CurrentSlot() const { return services_.Editor.Current(); }
    const std::array<BranchSlot, 3>& Slots() const { return slots_; }

    // The control created for a template id, or nullptr.
    QWidget* Control(int id) const;
    // The controls of the template, in their own coordinates, between the menu bar and the status
    // line.
    QWidget* TemplateArea() const { return templateArea_; }
    QMenuBar* MenuBar() const { return menuBar_; }
    QMenu* FileMenu() const { return fileMenu_; }
    QMenu* EditMenu() const { return editMenu_; }
    // Lists the viewer's keys; they steer the view only when pressed in the viewer.
    QMenu* ViewMenu() const { return viewMenu_; }
    QUndoStack& History() { return history_.Stack(); }
    // The status line's account of the picture.
    QString WalkStatus() const;
    // The status line's account of the scene's file, one line under the picture's.
    void ShowDocumentStatus(const QString& text);
    QString DocumentStatus() const;

    // A key pressed in the viewer, which passes on every key: the View menu's keys steer the view,
    // and the menu commands' shortcuts work there as in the panel. Returns whether the key was
    // used.
    bool HandleViewerKey(QKeyCombination keys);

    // Replaces the colour chooser, by default the toolkit's window-modal colour dialog.
    void SetColourChooser(ColourChooser chooser) { chooseColour_ = std::move(chooser); }

    // The About box's seven lines.
    static QString AboutText();

private:
    void CreateControls(const DialogTemplate& layout);
    void CreateMenus();
    void CreateEditMenu();
    void CreateViewMenu();
    void CreateStatusLine();
    void LayOut(const QSize& templateSize);
    void ShowWalkStatus();
    QWidget* CreateControl(const DialogControl& control, QWidget* parent);
    void BindControls();
    void ConnectHandlers();
    void PrepareSwatch();
    void UpdateSwatch();
    void SetSliderRanges();
    void AddListEntry(int slot, const QString& name);
    void ShowAxis(const Vec3& axis);
    void ShowIterations();
    void ShowSelection();
    const BranchParams& CurrentRecord() const { return services_.Editor.CurrentRecord(); }
    void OnSceneChanged(const SceneChange& change);

    void OnIterationsChanged();
    void OnBranchSelected();
    void OnRandomize();
    void OnChooseColor();
    void OnAbout();

    PanelServices services_;
    SceneHistory history_;
    QWidget* templateArea_ = nullptr;
    QMenuBar* menuBar_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QMenu* editMenu_ = nullptr;
    QMenu* viewMenu_ = nullptr;
    QWidget* statusArea_ = nullptr;
    QLabel* walkStatus_ = nullptr;
    QLabel* documentStatus_ = nullptr;
    std::map<int, QWidget*> controls_;
    QPushButton* colourButton_ = nullptr;
    QSlider* ratioSlider_ = nullptr;
    QListWidget* branchList_ = nullptr;
    QLineEdit* iterationsBox_ = nullptr;
    QSlider* offsetSlider_ = nullptr;
    QSlider* scaleSlider_ = nullptr;
    QSlider* angleSlider_ = nullptr;
    QSlider* axisZSlider_ = nullptr;
    QSlider* axisYSlider_ = nullptr;
    QSlider* axisXSlider_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QIcon icon_;
    std::array<BranchSlot, 3> slots_{};
    SceneEditor::ListenerId listener_{};
    bool ownEdit_ = false;  // set while a handler shows the result of its edit itself
    QImage swatch_;
    QTimer frameTimer_;
    ColourChooser chooseColour_;
};

}  // namespace ramifex
