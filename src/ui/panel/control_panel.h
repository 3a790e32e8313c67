#pragma once

#include <QColor>
#include <QDialog>
#include <QIcon>
#include <QImage>
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "core/editor/scene_editor.h"
#include "core/render/millisecond_clock.h"
#include "core/render/walk_progress.h"
#include "ui/commands/command_registry.h"
#include "ui/panel/caption_fit.h"
#include "ui/panel/dialog_template.h"
#include "ui/panel/dialog_units.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QMenuBar;
class QPushButton;
class QSlider;

namespace ramifex
{

class PhraseLabel;

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
    SceneEditor& Editor;        // every edit goes through it; it outlives the panel
    MillisecondClock& Clock;    // seeds the generator at initialisation
    CommandRegistry& Commands;  // the menu bar shows them; Quit ends the panel's run
    std::function<bool(Navigator&)> OpenViewer;  // opens the viewer; the panel runs on either way
    // The viewer window's frame on the screen, which the panel starts beside; none: no viewer.
    std::function<std::optional<QRect>()> ViewerFrame = [] { return std::nullopt; };
};

// Asks the user for a colour, starting from `initial`, in a chooser owned by `owner`; nothing when
// the user cancels.
using ColourChooser = std::function<std::optional<QColor>(QWidget& owner, const QColor& initial)>;

// The program's main window and a view of the scene editor: its controls edit the three records
// and the iteration count through the editor, its menu bar shows the program's commands, and its
// status lines say how far the picture is and what the scene's file is. Edits never draw; they
// change the scene and request a redraw, and the next frame tick restarts the picture.
class ControlPanel final : public QDialog
{
    Q_OBJECT

public:
    explicit ControlPanel(PanelServices services, QWidget* parent = nullptr);
    ~ControlPanel() override;

    // Sets the panel up and opens the viewer; run once, before the panel is shown.
    void Initialise();

    // Shows the initialised panel, then runs until it is done (OK, Cancel, Escape, the close box,
    // File > Quit) with QDialog's result, or until the application is told to exit (the viewer
    // was closed) with -1. Other windows stay usable meanwhile, unlike QDialog::exec(). The panel
    // is hidden on return.
    int RunModal();

    // The status line's account of the picture, after each frame tick.
    void ShowWalkStatus(const WalkProgress& progress);

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
    // The dialog units the controls are placed in: the font's, widened where a caption needs it.
    const DialogBaseUnits& BaseUnits() const { return base_; }
    QMenuBar* MenuBar() const { return menuBar_; }
    // The status line's account of the picture.
    QString WalkStatus() const;
    // The status line's account of the scene's file, one line under the picture's.
    void ShowDocumentStatus(const QString& text);
    QString DocumentStatus() const;

    // Replaces the colour chooser, by default the toolkit's window-modal colour dialog.
    void SetColourChooser(ColourChooser chooser) { chooseColour_ = std::move(chooser); }

    // The About box's seven lines.
    static QString AboutText();

private:
    void PlaceBesideViewer();
    void CreateControls(const DialogTemplate& layout);
    void PlaceControls(const DialogTemplate& layout);
    int MenusWidth() const;
    void CreateMenus();
    void CreateStatusLine();
    void LayOut(const QSize& templateSize);
    QWidget* CreateControl(const DialogControl& control, QWidget* parent);
    void BindControls();
    void ConnectHandlers();
    void PrepareSwatch(const DialogTemplate& layout);
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
    QWidget* templateArea_ = nullptr;
    QMenuBar* menuBar_ = nullptr;
    QWidget* statusArea_ = nullptr;
    PhraseLabel* walkStatus_ = nullptr;
    PhraseLabel* documentStatus_ = nullptr;
    std::map<int, QWidget*> controls_;
    std::vector<PlacedControl> placed_;
    DialogBaseUnits base_;
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
    ColourChooser chooseColour_;
};

}  // namespace ramifex
