#pragma once

// Builds preset files straight from the documented byte layout, without the program's own
// writer, so tests compare the program against the layout rather than against itself.

#include <zlib.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <cstdint>

namespace zizara::testing {

inline void PutLe32(QByteArray& b, int at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) {
    b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  }
}

inline void PutLe16(QByteArray& b, int at, std::uint16_t v) {
  b[at] = static_cast<char>(v & 0xFF);
  b[at + 1] = static_cast<char>(v >> 8);
}

inline std::uint32_t Le32(const QByteArray& b, int at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) {
    v = v << 8 | static_cast<std::uint8_t>(b[at + i]);
  }
  return v;
}

inline std::uint32_t Crc(const QByteArray& b) {
  return static_cast<std::uint32_t>(
      crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(b.constData()),
            static_cast<uInt>(b.size())));
}

struct CraftedIdentity {
  std::int32_t serial = 12345;
  std::int32_t model_index = 5;
  std::int32_t version = 0x0510;
  std::uint16_t ext_bios = 0x1234;
  std::uint16_t hardware = 0xABCD;
  std::uint8_t spare0 = 0;
  std::uint8_t spare1 = 0;
};

// Writes the trailer for `image` (16384 bytes) and seals it with the CRC.
inline QByteArray CraftPresetFile(const QByteArray& image, const CraftedIdentity& id = {}) {
  QByteArray f = image;
  f.append(QByteArray(32, '\0'));
  f[0x4000] = 4;
  f.replace(0x4001, 4, "VTT_");
  f[0x4005] = 4;
  f.replace(0x4006, 4, "P001");
  f[0x400A] = static_cast<char>(id.spare0);
  f[0x400B] = static_cast<char>(id.spare1);
  PutLe32(f, 0x400C, static_cast<std::uint32_t>(id.serial));
  PutLe32(f, 0x4010, static_cast<std::uint32_t>(id.model_index));
  PutLe32(f, 0x4014, static_cast<std::uint32_t>(id.version));
  PutLe16(f, 0x4018, id.ext_bios);
  PutLe16(f, 0x401A, id.hardware);
  PutLe32(f, 0x401C, Crc(f));  // checksum field is still zero here
  return f;
}

// An image with recognisable names and routing, laid out by hand.
inline QByteArray CraftImage() {
  QByteArray img(16384, '\0');
  auto put_text = [&img](int at, const QByteArray& text) {
    for (int w = 0; w < text.size() / 2; ++w) {
      img[at + 2 * w + 1] = text[2 * w];
      img[at + 2 * w] = text[2 * w + 1];
    }
  };
  for (int n = 1; n <= 32; ++n) {
    put_text(0x1000 + 4 * (n - 1), QStringLiteral("I%1").arg(n, 3, 10, QLatin1Char('0')).toLatin1());
  }
  for (int n = 1; n <= 96; ++n) {
    put_text(0x0E00 + 4 * (n - 1), QStringLiteral("O%1").arg(n, 3, 10, QLatin1Char('0')).toLatin1());
  }
  put_text(0x1080, "P1IN");                // preset 1, input 33
  put_text(0x2500 + 0x80, "P2IN");         // preset 2, input 33
  put_text(0x2480, "First One ");          // preset name 1
  put_text(0x2480 + 10 * 10, "Last Elevn");  // preset name 11
  img[0x1101] = 4;                         // preset 1: output 1 <- input 5
  img[0x1100] = static_cast<char>(0x85);   // output 2 <- input 6 (bit 7 set)
  img[0x115E] = 0x7F;                      // output 96 <- nothing visible
  img[0x010A] = static_cast<char>(0x1E);   // German offset standard
  img[0x010B] = static_cast<char>(0x1E);
  const char lock[] = "4711";
  for (int i = 0; i < 4; ++i) {
    img[0x3F9F + 2 * i] = lock[i];
  }
  img[0x3F93] = 3;
  img[0x3F81] = 12;
  return img;
}

inline QString WriteFile(const QDir& dir, const QString& name, const QByteArray& bytes) {
  const QString path = dir.filePath(name);
  QFile f(path);
  if (f.open(QIODevice::WriteOnly)) {
    f.write(bytes);
  }
  return path;
}

}  // namespace zizara::testing
