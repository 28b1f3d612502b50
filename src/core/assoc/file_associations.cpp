#include "core/assoc/file_associations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include "core/io/file_access.h"
#include "core/i18n/tr.h"

namespace zizara::core::assoc {

namespace {

constexpr qint64 kMaxKeyFile = 1024 * 1024;  // far more than any mimeapps.list or entry

QString MimePackagePath(const Places& p) { return p.data_home + "/mime/packages/vt-zizara.xml"; }
QString DesktopPath(const Places& p) { return p.data_home + "/applications/" + kDesktopId; }
QString MimeAppsPath(const Places& p) { return p.config_home + "/mimeapps.list"; }
QString IconName(const FileType& t) { return QString(t.mime).replace('/', '-'); }
QString IconPath(const Places& p, const FileType& t) {
  return p.data_home + "/icons/hicolor/scalable/mimetypes/" + IconName(t) + ".svg";
}

QString ReadText(const QString& path) {
  const io::ReadResult r = io::ReadRegularFile(path, kMaxKeyFile);
  return r.ok() ? QString::fromUtf8(r.data) : QString();
}

bool WriteBytes(const QString& path, const QByteArray& bytes, QString* error) {
  if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
    if (error != nullptr) {
      *error = i18n::Tr("Cannot create the folder of %1").arg(path);
    }
    return false;
  }
  return io::SaveFileAtomically(path, bytes, error);
}

bool WriteText(const QString& path, const QString& text, QString* error) {
  return WriteBytes(path, text.toUtf8(), error);
}

bool RemoveFile(const QString& path, QString* error) {
  if (!QFileInfo::exists(path) || QFile::remove(path)) {
    return true;
  }
  if (error != nullptr) {
    *error = i18n::Tr("Cannot remove %1").arg(path);
  }
  return false;
}

// Our types present in our MIME package, in the order of FileTypes().
QStringList RegisteredMimeTypes(const Places& places) {
  const QString text = ReadText(MimePackagePath(places));
  QStringList found;
  QXmlStreamReader xml(text);
  while (!xml.atEnd()) {
    if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"mime-type") {
      found << xml.attributes().value(QStringLiteral("type")).toString();
    }
  }
  QStringList ordered;
  for (const FileType& t : FileTypes()) {
    if (found.contains(t.mime)) {
      ordered << t.mime;
    }
  }
  return ordered;
}

}  // namespace

QString MimePackageText(const QStringList& mimes) {
  QString text;
  QXmlStreamWriter xml(&text);
  xml.setAutoFormatting(true);
  xml.writeStartDocument();
  xml.writeStartElement(QStringLiteral("mime-info"));
  xml.writeDefaultNamespace(QStringLiteral("http://www.freedesktop.org/standards/shared-mime-info"));
  for (const FileType& t : FileTypes()) {
    if (!mimes.contains(t.mime)) {
      continue;
    }
    xml.writeStartElement(QStringLiteral("mime-type"));
    xml.writeAttribute(QStringLiteral("type"), t.mime);
    xml.writeTextElement(QStringLiteral("comment"), t.comment);
    xml.writeEmptyElement(QStringLiteral("icon"));
    xml.writeAttribute(QStringLiteral("name"), IconName(t));
    for (const QString& pattern : {"*." + t.ext, "*." + t.ext.toLower()}) {
      xml.writeEmptyElement(QStringLiteral("glob"));
      xml.writeAttribute(QStringLiteral("pattern"), pattern);
      xml.writeAttribute(QStringLiteral("case-sensitive"), QStringLiteral("true"));
    }
    xml.writeEndElement();
  }
  xml.writeEndElement();
  xml.writeEndDocument();
  return text;
}

QString DesktopEntryText(const QStringList& mimes, const QString& exec_line) {
  QString text = QStringLiteral(
      "[Desktop Entry]\n"
      "Type=Application\n"
      "Name=VT-Zizara\n"
      "Comment=Configure and remote-control QLX audio level meters\n"
      "Icon=vt-zizara\n"
      "Terminal=false\n"
      "Categories=AudioVideo;Audio;\n"
      "Keywords=QLX;meter;audio;routing;preset;\n");
  text += "Exec=" + exec_line + '\n';
  text += "MimeType=" + mimes.join(';') + ";\n";
  if (mimes.contains(FindFileType(QStringLiteral("MCR"))->mime)) {
    // Stands in for the edit verb a macro had: the system's text editor in a terminal.
    text += QStringLiteral(
        "Actions=EditMacro;\n"
        "\n"
        "[Desktop Action EditMacro]\n"
        "Name=Edit Macro\n"
        "Exec=x-terminal-emulator -e editor %f\n");
  }
  return text;
}

namespace {

// Drawn by tools/picture_gen; the package installs the same files.
QByteArray IconSvg(const FileType& t) {
  QFile icon(QStringLiteral(":/mimetypes/") + IconName(t) + QStringLiteral(".svg"));
  return icon.open(QIODevice::ReadOnly) ? icon.readAll() : QByteArray();
}

QString WithoutOurId(const QString& list) {
  QStringList ids = list.split(';', Qt::SkipEmptyParts);
  ids.removeAll(QString::fromLatin1(kDesktopId));
  return ids.isEmpty() ? QString() : ids.join(';') + ';';
}

bool IsSection(const QString& line) {
  const QString t = line.trimmed();
  return t.startsWith('[') && t.endsWith(']');
}

}  // namespace

const std::vector<FileType>& FileTypes() {
  static const std::vector<FileType> kTypes{
      {QStringLiteral("PRE"), QStringLiteral("application/x-vt-zizara-preset"),
       QStringLiteral("VT-Zizara Preset")},
      {QStringLiteral("MCR"), QStringLiteral("application/x-vt-zizara-macro"),
       QStringLiteral("VT-Zizara Macro")},
      {QStringLiteral("CDP"), QStringLiteral("application/x-vt-zizara-package"),
       QStringLiteral("VT-Zizara Compiled Distribution Package")},
  };
  return kTypes;
}

QStringList AllMimeTypes() {
  QStringList mimes;
  for (const FileType& t : FileTypes()) {
    mimes << t.mime;
  }
  return mimes;
}

const FileType* FindFileType(const QString& ext) {
  for (const FileType& t : FileTypes()) {
    if (t.ext.compare(ext, Qt::CaseInsensitive) == 0) {
      return &t;
    }
  }
  return nullptr;
}

Places DefaultPlaces(const QString& executable) {
  const auto home_dir = [](const char* variable, const QString& fallback) {
    const QString value = qEnvironmentVariable(variable);
    return !value.isEmpty() && QDir::isAbsolutePath(value) ? value : QDir::homePath() + fallback;
  };
  Places p;
  p.data_home = home_dir("XDG_DATA_HOME", QStringLiteral("/.local/share"));
  p.config_home = home_dir("XDG_CONFIG_HOME", QStringLiteral("/.config"));
  p.executable = executable;
  p.update_mime_database = [](const QString& mime_dir) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
    if (tool.isEmpty()) {
      return;  // the types still work once the desktop rebuilds its database
    }
    QProcess process;
    process.start(tool, {mime_dir});
    process.waitForFinished(30000);
  };
  return p;
}

QString ExecLine(const QString& executable) {
  QString quoted;
  for (const QChar c : executable) {
    if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') {
      quoted += u'\\';
    } else if (c == u'%') {
      quoted += u'%';
    }
    quoted += c;
  }
  // A quoted argument, then the key file's own escapes.
  QString value = '"' + quoted + '"';
  value.replace(u'\\', QStringLiteral("\\\\"));
  value.replace(u'\n', QStringLiteral("\\n"));
  return value + QStringLiteral(" %f");
}

QString KeyFileValue(const QString& text, const QString& section, const QString& key) {
  bool inside = false;
  for (const QString& line : text.split('\n')) {
    if (IsSection(line)) {
      inside = line.trimmed() == '[' + section + ']';
    } else if (inside) {
      const qsizetype eq = line.indexOf('=');
      if (eq > 0 && line.left(eq).trimmed() == key) {
        return line.mid(eq + 1).trimmed();
      }
    }
  }
  return {};
}

QString SetKeyFileValue(const QString& text, const QString& section, const QString& key,
                        const QString& value) {
  QStringList lines = text.split('\n');
  if (!lines.isEmpty() && lines.last().isEmpty()) {
    lines.removeLast();
  }
  const QString header = '[' + section + ']';
  qsizetype section_at = -1;
  qsizetype section_end = lines.size();
  for (qsizetype i = 0; i < lines.size(); ++i) {
    if (!IsSection(lines[i])) {
      continue;
    }
    if (section_at >= 0) {
      section_end = i;
      break;
    }
    if (lines[i].trimmed() == header) {
      section_at = i;
    }
  }
  if (section_at >= 0) {
    for (qsizetype i = section_at + 1; i < section_end; ++i) {
      const qsizetype eq = lines[i].indexOf('=');
      if (eq > 0 && lines[i].left(eq).trimmed() == key) {
        if (value.isEmpty()) {
          lines.removeAt(i);
        } else {
          lines[i] = key + '=' + value;
        }
        return lines.join('\n') + '\n';
      }
    }
    if (!value.isEmpty()) {
      // After the section's last entry, before the blank lines that end it.
      qsizetype at = section_end;
      while (at > section_at + 1 && lines[at - 1].trimmed().isEmpty()) {
        --at;
      }
      lines.insert(at, key + '=' + value);
    }
  } else if (!value.isEmpty()) {
    if (!lines.isEmpty() && !lines.last().trimmed().isEmpty()) {
      lines << QString();
    }
    lines << header << key + '=' + value;
  }
  return lines.isEmpty() ? QString() : lines.join('\n') + '\n';
}

bool IsFileTypeAssociated(const QString& ext, const Places& places) {
  const FileType* type = FindFileType(ext);
  if (type == nullptr || !RegisteredMimeTypes(places).contains(type->mime)) {
    return false;
  }
  const QString defaults = ReadText(MimeAppsPath(places));
  const QString chosen = KeyFileValue(defaults, QStringLiteral("Default Applications"), type->mime);
  if (chosen.split(';', Qt::SkipEmptyParts).value(0) != QString::fromLatin1(kDesktopId)) {
    return false;
  }
  const QString entry = ReadText(DesktopPath(places));
  const QString section = QStringLiteral("Desktop Entry");
  return KeyFileValue(entry, section, QStringLiteral("Exec")) == ExecLine(places.executable) &&
         KeyFileValue(entry, section, QStringLiteral("MimeType"))
             .split(';', Qt::SkipEmptyParts)
             .contains(type->mime);
}

bool SetFileTypeAssociation(const QString& ext, bool on, const Places& places, QString* error) {
  const FileType* type = FindFileType(ext);
  if (type == nullptr) {
    if (error != nullptr) {
      *error = i18n::Tr("Unknown file type: %1").arg(ext);
    }
    return false;
  }
  QStringList mimes = RegisteredMimeTypes(places);
  mimes.removeAll(type->mime);
  if (on) {
    mimes << type->mime;
  }
  // Keep the order of FileTypes() whatever the order of registration.
  QStringList ordered;
  for (const FileType& t : FileTypes()) {
    if (mimes.contains(t.mime)) {
      ordered << t.mime;
    }
  }

  bool ok = true;
  QString why;
  const auto note = [&](bool step_ok) {
    if (!step_ok && ok && error != nullptr) {
      *error = why;
    }
    ok = ok && step_ok;
  };
  note(ordered.isEmpty() ? RemoveFile(MimePackagePath(places), &why)
                         : WriteText(MimePackagePath(places), MimePackageText(ordered), &why));
  note(on ? WriteBytes(IconPath(places, *type), IconSvg(*type), &why)
          : RemoveFile(IconPath(places, *type), &why));
  if (places.update_mime_database) {
    places.update_mime_database(places.data_home + "/mime");
  }
  note(ordered.isEmpty() ? RemoveFile(DesktopPath(places), &why)
                         : WriteText(DesktopPath(places), DesktopEntryText(ordered, ExecLine(places.executable)),
                                     &why));

  const QString path = MimeAppsPath(places);
  QString defaults = ReadText(path);
  const QString ours = QString::fromLatin1(kDesktopId) + ';';
  const QString default_section = QStringLiteral("Default Applications");
  const QString added_section = QStringLiteral("Added Associations");
  const QString added = KeyFileValue(defaults, added_section, type->mime);
  if (on) {
    defaults = SetKeyFileValue(defaults, default_section, type->mime, ours);
    defaults = SetKeyFileValue(defaults, added_section, type->mime, ours + WithoutOurId(added));
  } else {
    const QString chosen = KeyFileValue(defaults, default_section, type->mime);
    if (chosen.split(';', Qt::SkipEmptyParts).value(0) == QString::fromLatin1(kDesktopId)) {
      defaults = SetKeyFileValue(defaults, default_section, type->mime, WithoutOurId(chosen));
    }
    if (!added.isNull()) {
      defaults = SetKeyFileValue(defaults, added_section, type->mime, WithoutOurId(added));
    }
  }
  if (on || QFileInfo::exists(path)) {
    note(WriteText(path, defaults, &why));
  }
  return ok;
}

}  // namespace zizara::core::assoc
