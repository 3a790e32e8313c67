#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <thread>

#include <gtest/gtest.h>

#include "io/recovery/last_session.h"

namespace ramifex
{
namespace
{

LastSession Session(uint32_t seed, const QString& file, bool unsaved)
{
    LastSession session{{}, file, unsaved};
    RandomGenerator rng;
    rng.Seed(seed);
    RandomizeRecords(session.Scene, rng);
    session.Scene.ViewOffset = {0.1, -0.2, -12.345678901234567};
    return session;
}

// Kept and read back bit for bit, in a folder made on the way; a scene that cannot be kept
// leaves the kept one whole; two keepers at once leave one of theirs, whole.
TEST(LastSession, KeptWholeAndReadBack)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath("data/ramifex/last-session.ramifex.json");
    QString error;
    const LastSession first = Session(1, "/home/u/tree.ramifex.json", true);
    ASSERT_TRUE(KeepLastSession(path, first, &error)) << error.toStdString();
    EXPECT_EQ(ReadLastSession(path, &error), first);
    EXPECT_EQ(LastSessionText(first), "Last session: tree.ramifex.json, unsaved changes");
    EXPECT_EQ(LastSessionText(Session(2, {}, false)), "Last session: New scene");

    LastSession broken = Session(3, {}, true);
    broken.Scene.Records[Branch1Record].Scale = NAN;
    EXPECT_FALSE(KeepLastSession(path, broken, &error));
    EXPECT_EQ(ReadLastSession(path, &error), first);

    const LastSession a = Session(4, "a.ramifex.json", false);
    const LastSession b = Session(5, {}, true);
    auto keep = [&](const LastSession& session)
    {
        for (int i = 0; i < 100; ++i)
        {
            QString ignored;
            KeepLastSession(path, session, &ignored);
        }
    };
    std::thread one(keep, a);
    std::thread two(keep, b);
    one.join();
    two.join();
    const std::optional<LastSession> kept = ReadLastSession(path, &error);
    ASSERT_TRUE(kept.has_value()) << error.toStdString();
    EXPECT_TRUE(*kept == a || *kept == b);
    EXPECT_FALSE(ReadLastSession(dir.filePath("none.ramifex.json"), &error).has_value());
}

}  // namespace
}  // namespace ramifex
