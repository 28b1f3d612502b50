#include "core/remote/macro_file.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace zizara::core::remote {
namespace {

TEST(MacroFileTest, LinesEndInCrLfOrCr) {
  EXPECT_EQ(SplitMacroLines("a\r\nb\nc"), QList<QByteArray>({"a", "b", "c"}));
  EXPECT_EQ(SplitMacroLines("a\r\n\r\n\nb\r\n"), QList<QByteArray>({"a", "", "", "b"}));
  EXPECT_EQ(SplitMacroLines(""), QList<QByteArray>());
  // CR alone ends a line too, as old editors write them.
  EXPECT_EQ(SplitMacroLines(".SA1,2\r.SA3,4\r"), QList<QByteArray>({".SA1,2", ".SA3,4"}));
  EXPECT_EQ(SplitMacroLines("a\r\rb"), QList<QByteArray>({"a", "", "b"}));
}

TEST(MacroFileTest, NameLineRules) {
  struct Case {
    QByteArray text;
    QString name;
  };
  for (const Case& c : {
           Case{"MacroName=Studio A\r\n.SA1,2\r\n", "Studio A"},
           Case{"macroname=lower case\n", "lower case"},
           Case{"MacroName =spaced\n", kUnnamedMacro},
           Case{".SA1,2\n", kUnnamedMacro},
           Case{"MACRONAME=first\nMacroName=second\n", "first"},
           Case{"MacroName=123456789012345678901234567890", "1234567890123456789012345"},
           Case{"MacroName=  padded  \r\n", "  padded  "},
           Case{"MacroName=\n", ""},
       }) {
    EXPECT_EQ(ParseMacroText(c.text).name, c.name) << c.text.constData();
  }
  // Latin-1 names come through as they stand.
  EXPECT_EQ(ParseMacroText("MacroName=R\xe9gie\n").name, QStringLiteral("R\u00e9gie"));
}

TEST(MacroFileTest, NameAloneIsReadWithTheSameRules) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const auto name_of = [&dir](const QByteArray& text) {
    QFile file(dir.filePath("n.MCR"));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
    file.close();
    QString name;
    QString error;
    EXPECT_TRUE(ReadMacroName(file.fileName(), &name, &error)) << error.toStdString();
    return name;
  };
  for (const QByteArray& text : {
           QByteArray("MacroName=Studio A\r\n.SA1,2\r\n"),
           QByteArray("macroname=lower case\n"),
           QByteArray("MacroName =spaced\n"),
           QByteArray(".SA1,2\r.SA3,4\rMacroName=late\r"),
           QByteArray("MACRONAME=first\nMacroName=second\n"),
           QByteArray("MacroName=123456789012345678901234567890"),
           QByteArray("MacroName=\n"),
           QByteArray("x\r\nMacroName=  padded  "),
           QByteArray(""),
       }) {
    EXPECT_EQ(name_of(text), ParseMacroText(text).name) << text.constData();
  }
  // A name line far beyond the first piece of the file is still found.
  const QByteArray long_macro = QByteArray(".SA1,2\r\n").repeated(2000) + "MacroName=Deep\r\n";
  EXPECT_EQ(name_of(long_macro), QStringLiteral("Deep"));
  // A line longer than a piece keeps only its head.
  EXPECT_EQ(name_of("MacroName=Wide" + QByteArray(10000, 'w') + "\nMacroName=x"),
            QStringLiteral("Wide") + QString(21, QLatin1Char('w')));

  QString name;
  QString error;
  EXPECT_FALSE(ReadMacroName("/dev/zero", &name, &error));
  EXPECT_TRUE(error.contains("is not a regular file.")) << error.toStdString();
  EXPECT_FALSE(ReadMacroName(dir.filePath("missing.MCR"), &name, &error));
}

TEST(MacroFileTest, OnlyFullStopLinesAreCommands) {
  const MacroFile macro =
      ParseMacroText("MacroName=x\r\n; comment\r\n\r\n.SA1,2\r\n SA3,4\n.SP9,3");
  QList<QByteArray> commands;
  for (const QByteArray& line : macro.lines) {
    if (IsMacroCommand(line)) commands << line;
  }
  EXPECT_EQ(commands, QList<QByteArray>({".SA1,2", ".SP9,3"}));
}

TEST(MacroFileTest, WrittenTextReadsBack) {
  const QByteArray text = MacroText(QStringLiteral("Night"), {".SA1,2", ".SA3,4"});
  EXPECT_EQ(text, QByteArray("MacroName=Night\r\n.SA1,2\r\n.SA3,4\r\n"));
  const MacroFile macro = ParseMacroText(text);
  EXPECT_EQ(macro.name, QStringLiteral("Night"));
  EXPECT_EQ(macro.lines, QList<QByteArray>({"MacroName=Night", ".SA1,2", ".SA3,4"}));
  EXPECT_EQ(MacroText(QString(), {".SA1,2"}), QByteArray(".SA1,2\r\n"));
}

TEST(MacroFileTest, ReadingReportsUnreadableFiles) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  MacroFile macro;
  QString error;
  EXPECT_FALSE(ReadMacroFile(dir.filePath("missing.MCR"), &macro, &error));
  EXPECT_TRUE(error.contains("missing.MCR")) << error.toStdString();
  EXPECT_FALSE(ReadMacroFile(dir.path(), &macro, &error));
  EXPECT_TRUE(error.contains("folder")) << error.toStdString();
  EXPECT_FALSE(ReadMacroFile("/dev/zero", &macro, &error));  // would never end
  EXPECT_TRUE(error.contains("is not a regular file.")) << error.toStdString();

  QFile file(dir.filePath("ok.mcr"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("MacroName=Ok\n.SA1,2\n");
  file.close();
  ASSERT_TRUE(ReadMacroFile(file.fileName(), &macro, &error));
  EXPECT_EQ(macro.name, QStringLiteral("Ok"));
  EXPECT_EQ(macro.lines.size(), 2);
}

}  // namespace
}  // namespace zizara::core::remote
