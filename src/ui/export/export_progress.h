#pragma once

#include <QObject>
#include <QProgressDialog>
#include <QString>
#include <QTimer>

namespace ramifex
{

// An export under way, a tick at a time from the event loop, so that both windows stay responsive
// and the viewer's own walk goes on. A progress dialog over the owner shows how far it is and can
// cancel it.
class ExportProgress : public QObject
{
    Q_OBJECT

public:
    ~ExportProgress() override;

signals:
    // Sent once, when the file is written (error empty), cannot be written (error says why) or the
    // user cancelled (error empty, no file). Nothing is done afterwards.
    void Done(const QString& error);

protected:
    ExportProgress(QWidget& owner, QObject* parent, const QString& title, const QString& label);

    // Does one tick's share of the export.
    virtual void Tick() = 0;
    // Lets go of the job and what it holds.
    virtual void Release() = 0;

    void ShowFraction(double fraction);
    void ShowLabel(const QString& label);
    // Stops, lets go of the job and says so; only the first call counts.
    void Finish(const QString& error);

private:
    QProgressDialog progress_;
    QTimer ticks_;
};

}  // namespace ramifex
