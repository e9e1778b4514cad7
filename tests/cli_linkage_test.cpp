// regdisc-cli loads Qt Core at most: no Qt Gui, no display libraries, so that it starts in
// a few milliseconds; the PDF copies of `sample` come from a helper program of their own.
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QString>

#include <gtest/gtest.h>

TEST(CliLinkage, NeedsNoQtGui)
{
#ifdef __linux__
    QProcess ldd;
    ldd.start("ldd", {REGDISC_CLI});
    ASSERT_TRUE(ldd.waitForFinished(30000));
    const QString libraries = QString::fromLocal8Bit(ldd.readAllStandardOutput());
    ASSERT_TRUE(libraries.contains("libQt6Core")) << libraries.toStdString();
    for (const char *unwanted : {"libQt6Gui", "libQt6Widgets", "libEGL", "libGL", "libfontconfig", "libxcb"})
        EXPECT_FALSE(libraries.contains(unwanted)) << unwanted;
    // The XLSX writer's library and what it needs are opened by the XLSX export alone.
    for (const char *unwanted : {"libxlsxwriter", "libminizip", "libcrypto"})
        EXPECT_FALSE(libraries.contains(unwanted)) << unwanted;
#else
    GTEST_SKIP() << "ldd is a Linux tool";
#endif
    // The helper that paints the PDF copies lies beside it in the build tree.
    EXPECT_TRUE(QFileInfo(QFileInfo(REGDISC_CLI).dir().filePath("regdisc-pdfcopy")).isExecutable());
}
