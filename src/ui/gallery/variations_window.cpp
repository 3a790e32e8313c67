#include "ui/gallery/variations_window.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QRandomGenerator>
#include <QVBoxLayout>
#include <limits>

namespace ramifex
{
namespace
{

// Deep enough to tell the variations apart, shallow enough that all nine show within a second or
// two.
constexpr int32_t ThumbnailDepth = 12;
constexpr int SettleMs = 300;
constexpr int GridSide = 3;
constexpr int MiddleCell = 4;
constexpr int LargestSeed = std::numeric_limits<int>::max();

}  // namespace

VariationsWindow::VariationsWindow(SceneEditor& editor, QWidget* parent)
    : QWidget(parent, Qt::Window), editor_(editor), drawer_(ThumbnailDepth)
{
    setWindowTitle(QStringLiteral("Variations"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(MakeGrid());
    layout->addLayout(MakeControls());
    settle_.setSingleShot(true);
    settle_.setInterval(SettleMs);
    connect(&settle_, &QTimer::timeout, this, &VariationsWindow::FollowEditor);
    connect(&drawer_, &ThumbnailDrawer::Drawn, this, &VariationsWindow::ShowThumbnail);
    listener_ = editor_.AddListener(
        [this](const SceneChange&)
        {
            if (isVisible() && editor_.Scene() != middleScene_)
            {
                settle_.start();
            }
        });
    FollowEditor();
}

VariationsWindow::~VariationsWindow()
{
    editor_.RemoveListener(listener_);
}

// The middle cell holds the scene; the others, in reading order, its variations.
QLayout* VariationsWindow::MakeGrid()
{
    auto* grid = new QGridLayout;
    middle_.setFrameShape(QFrame::Box);
    middle_.setLineWidth(2);
    middle_.setAlignment(Qt::AlignCenter);
    middle_.setToolTip(QStringLiteral("The scene"));
    grid->addWidget(&middle_, 1, 1);
    for (int index = 0; index < VariationCount; ++index)
    {
        auto* button = new QToolButton;
        button->setIconSize(ThumbnailSize);
        button->setAutoRaise(true);
        button->setToolTip(QStringLiteral("Adopt this variation"));
        connect(button, &QToolButton::clicked, this, [this, index] { Adopt(index); });
        const int cell = index < MiddleCell ? index : index + 1;
        grid->addWidget(button, cell / GridSide, cell % GridSide);
        buttons_[index] = button;
    }
    return grid;
}

QLayout* VariationsWindow::MakeControls()
{
    auto* row = new QHBoxLayout;
    strength_.addItems(
        {QStringLiteral("Subtle"), QStringLiteral("Medium"), QStringLiteral("Wild")});
    strength_.setCurrentIndex(static_cast<int>(VariationStrength::Medium));
    seed_.setRange(0, LargestSeed);
    seed_.setKeyboardTracking(false);  // a typed seed counts once it is complete
    seed_.setValue(static_cast<int>(QRandomGenerator::global()->bounded(1000000)));
    seed_.setToolTip(QStringLiteral("The same seed makes the same variations"));
    auto* strengthLabel = new QLabel(QStringLiteral("&Strength:"));
    strengthLabel->setBuddy(&strength_);
    auto* seedLabel = new QLabel(QStringLiteral("S&eed:"));
    seedLabel->setBuddy(&seed_);
    row->addWidget(strengthLabel);
    row->addWidget(&strength_);
    row->addSpacing(12);
    row->addWidget(seedLabel);
    row->addWidget(&seed_);
    row->addStretch();
    row->addWidget(&more_);
    connect(&strength_, &QComboBox::currentIndexChanged, this, &VariationsWindow::Remake);
    connect(&seed_, &QSpinBox::valueChanged, this, &VariationsWindow::Remake);
    connect(&more_, &QPushButton::clicked, this,
            [this] { seed_.setValue(seed_.value() == LargestSeed ? 0 : seed_.value() + 1); });
    return row;
}

// A closed window draws nothing, whatever the scene does meanwhile.
void VariationsWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (editor_.Scene() != middleScene_)
    {
        FollowEditor();
    }
}

// The middle scene is known before the edit, so the editor's listener sees nothing to follow.
void VariationsWindow::Adopt(int index)
{
    const SceneState chosen = variations_[index];
    middleScene_ = editor_.Scene();
    middleScene_.Records = chosen.Records;
    editor_.AdoptVariation(chosen);
    Remake();
}

void VariationsWindow::FollowEditor()
{
    middleScene_ = editor_.Scene();
    Remake();
}

void VariationsWindow::Remake()
{
    variations_ =
        MakeVariations(middleScene_, static_cast<VariationStrength>(strength_.currentIndex()),
                       static_cast<uint32_t>(seed_.value()));
    middle_.setPixmap(BlankThumbnail());
    for (QToolButton* button : buttons_)
    {
        button->setIcon(BlankThumbnail());
    }
    std::vector<SceneState> scenes{middleScene_};
    scenes.insert(scenes.end(), variations_.begin(), variations_.end());
    drawer_.Draw(std::move(scenes));
}

// The middle scene is drawn first, then the variations in order.
void VariationsWindow::ShowThumbnail(size_t index, const QImage& picture)
{
    const QPixmap pixmap = QPixmap::fromImage(picture);
    if (index == 0)
    {
        middle_.setPixmap(pixmap);
    }
    else
    {
        buttons_[index - 1]->setIcon(pixmap);
    }
}

}  // namespace ramifex
