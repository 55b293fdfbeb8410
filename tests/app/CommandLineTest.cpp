// The program's command line: --help and --version answer on standard output and end the
// program without a window.

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

#include "ProcessEventsUntil.h"

namespace kestrune::app {
namespace {

TEST(ProgramCommandLine, HelpAndVersionAnswerWithoutAWindow) {
    struct Case {
        QStringList arguments;
        QString firstLine;
    };
    const Case cases[] = {
        {{"--help"}, "Usage: "},
        {{"-h"}, "Usage: "},
        {{"--version"}, "Kestrune " KESTRUNE_VERSION},
        {{"-platform", "offscreen", "--version"}, "Kestrune " KESTRUNE_VERSION},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        QProcess program;
        // No display at all: a program that made its window would fail here, not answer.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "xcb");
        environment.remove("DISPLAY");
        environment.remove("WAYLAND_DISPLAY");
        program.setProcessEnvironment(environment);
        program.start(KESTRUNE_APP_PATH, c.arguments);
        ASSERT_TRUE(program.waitForFinished(testing::kGenerousMilliseconds));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0);
        const QString out = QString::fromLocal8Bit(program.readAllStandardOutput());
        EXPECT_TRUE(out.startsWith(c.firstLine)) << out.toStdString();
        EXPECT_TRUE(program.readAllStandardError().isEmpty());
        if (c.arguments.contains("--help") || c.arguments.contains("-h")) {
            EXPECT_TRUE(out.contains("--version")) << out.toStdString();
            EXPECT_TRUE(out.contains("station folder")) << out.toStdString();
        }
    }
}

}  // namespace
}  // namespace kestrune::app
