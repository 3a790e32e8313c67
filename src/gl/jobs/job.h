#pragma once

#include <QString>

namespace ramifex
{

// An output made a slice at a time and written once it is complete: a picture, the spheres as
// geometry, a video. The command line runs any job in a loop, the windows from a timer under a
// progress dialog, so both stay responsive and can stop it between two slices; a job stopped
// before it has written leaves any earlier file as it was.
class Job
{
public:
    virtual ~Job() = default;
    Job(const Job&) = delete;
    Job& operator=(const Job&) = delete;

    // Checks the output and makes what the job draws with; false, with Error() saying why, when
    // it cannot begin.
    virtual bool Start() = 0;
    // Works for up to one slice (TickBudget). Does nothing before a successful start and once
    // finished.
    virtual void Tick() = 0;
    // How much of the work is done, from 0 to 1: of the work before writing, or of the writing
    // where the job writes while it ticks.
    virtual double Fraction() const = 0;
    // What the job is doing now, for a progress dialog: "Drawing tree.png, 640 × 480 pixels…".
    virtual QString Activity() const = 0;
    // How the output differs from what was asked, for the user to know; empty when it does not.
    virtual QString Note() const { return {}; }
    // What was written, once it has been, for the user to know: "tree.png: 640 × 480 pixels,
    // 412 KB".
    virtual QString Written() const = 0;
    // Writes the output once finished without failing (where the ticks have not written it);
    // false, with Error() saying why, when it cannot.
    virtual bool Write() = 0;

    // Ready to write, or failed.
    bool Finished() const { return Failed() || Complete(); }
    bool Failed() const { return !error_.isEmpty(); }
    const QString& Error() const { return error_; }

protected:
    Job() = default;
    // Every slice is done.
    virtual bool Complete() const = 0;
    // Records why the job failed; returns false.
    bool Fail(const QString& why)
    {
        error_ = why;
        return false;
    }

private:
    QString error_;
};

}  // namespace ramifex
