// Draws every picture the program ships and writes them under a resources folder. It is not
// run by the build: after changing a drawing, regenerate and commit the results with
//   build/tools/picture_gen/picture_gen resources
// The splash is checked after writing: its decoded key colour must give a clean outline.
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <QTextStream>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

#include "gui/common/jpeg_image.h"

namespace zizara::tools::picture_gen {
namespace {

// One palette for every icon, so the toolbar reads as a set.
const QColor kInk(0x26, 0x32, 0x3f);
const QColor kPaper(0xfb, 0xfc, 0xfe);
const QColor kPaperLine(0x9f, 0xb0, 0xc4);
const QColor kBlue(0x2f, 0x6f, 0xc4);
const QColor kBlueDark(0x1d, 0x3f, 0x73);
const QColor kYellow(0xe7, 0xab, 0x2c);
const QColor kYellowLight(0xf7, 0xd0, 0x70);
const QColor kGreen(0x2e, 0x9e, 0x45);
const QColor kGreenDark(0x1b, 0x64, 0x2a);
const QColor kRed(0xd2, 0x40, 0x3a);
const QColor kRedDark(0x86, 0x22, 0x1e);
const QColor kOrange(0xef, 0x8a, 0x1e);
const QColor kSteel(0xcf, 0xd8, 0xe3);
const QColor kSteelDark(0x6b, 0x7c, 0x8f);
const QColor kBrown(0xb0, 0x74, 0x3a);

// Splash and banner colours.
const QColor kKey(0, 255, 0);
const QColor kNight(0x0a, 0x1a, 0x33);
const QColor kSea(0x0e, 0x5a, 0x63);
const QColor kGlow(0x5f, 0xd0, 0xc8);

QString g_root;
int g_failures = 0;

void Fail(const QString& message) {
  std::fprintf(stderr, "picture_gen: %s\n", qPrintable(message));
  ++g_failures;
}

void SavePng(const QImage& image, const QString& relative) {
  const QString path = g_root + "/" + relative;
  QDir().mkpath(QFileInfo(path).path());
  if (!image.save(path, "PNG")) Fail("cannot write " + path);
}

// Key pixels are written straight in YCbCr, outside the RGB range: every decoder clamps them
// to pure green, with about 60 levels to spare against the ringing a hard edge causes in its
// 8x8 block. Written as plain RGB, that ringing frays the window outline.
void ToYCbCr(QRgb c, uchar* out) {
  if (c == kKey.rgb()) {
    out[0] = 180;  // decodes to R 0, G 315 -> 255, B -47 -> 0
    out[1] = 0;
    out[2] = 0;
    return;
  }
  const double r = qRed(c), g = qGreen(c), b = qBlue(c);
  const double ycc[3] = {0.299 * r + 0.587 * g + 0.114 * b,
                         -0.168736 * r - 0.331264 * g + 0.5 * b + 128,
                         0.5 * r - 0.418688 * g - 0.081312 * b + 128};
  for (int i = 0; i < 3; ++i)
    out[i] = static_cast<uchar>(std::clamp(std::lround(ycc[i]), 0L, 255L));
}

// Full-resolution chroma (4:4:4), so colour does not smear across the outline either.
void SaveJpeg(const QImage& image, const QString& relative, int quality) {
  const QString path = g_root + "/" + relative;
  QDir().mkpath(QFileInfo(path).path());
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "wb");
  if (!file) {
    Fail("cannot write " + path);
    return;
  }
  jpeg_compress_struct cinfo;
  jpeg_error_mgr error;
  cinfo.err = jpeg_std_error(&error);
  jpeg_create_compress(&cinfo);
  jpeg_stdio_dest(&cinfo, file);
  cinfo.image_width = static_cast<JDIMENSION>(rgb.width());
  cinfo.image_height = static_cast<JDIMENSION>(rgb.height());
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_YCbCr;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  for (int c = 0; c < 3; ++c) {
    cinfo.comp_info[c].h_samp_factor = 1;
    cinfo.comp_info[c].v_samp_factor = 1;
  }
  cinfo.optimize_coding = TRUE;
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<uchar> row(static_cast<size_t>(rgb.width()) * 3);
  while (cinfo.next_scanline < cinfo.image_height) {
    const auto* pixels =
        reinterpret_cast<const QRgb*>(rgb.constScanLine(static_cast<int>(cinfo.next_scanline)));
    for (int x = 0; x < rgb.width(); ++x) ToYCbCr(pixels[x], &row[static_cast<size_t>(x) * 3]);
    JSAMPROW line = row.data();
    jpeg_write_scanlines(&cinfo, &line, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::fclose(file);
}

QImage Canvas(int width, int height, QColor fill = Qt::transparent) {
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(fill);
  return image;
}

// Pixel-exact box: a 1 px outline around a fill, no anti-aliasing.
void Box(QPainter& p, int x, int y, int w, int h, QColor fill, QColor line) {
  p.fillRect(x, y, w, h, line);
  if (w > 2 && h > 2) p.fillRect(x + 1, y + 1, w - 2, h - 2, fill);
}

void Dot(QPainter& p, int x, int y, QColor colour) { p.fillRect(x, y, 1, 1, colour); }

void Shape(QPainter& p, const QPolygonF& polygon, QColor fill, QColor line) {
  p.setPen(QPen(line, 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  p.setBrush(fill);
  p.drawPolygon(polygon);
}

// Greyed twin for the disabled state: flat, light and low in contrast, like a dimmed control.
QImage Greyed(const QImage& source) {
  QImage out = source.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < out.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x) {
      const QRgb c = line[x];
      const double lum = 0.299 * qRed(c) + 0.587 * qGreen(c) + 0.114 * qBlue(c);
      const int grey = std::clamp(static_cast<int>(std::lround(150 + (lum - 128) * 0.38)), 0, 255);
      line[x] = qRgba(grey, grey, grey + 4 > 255 ? 255 : grey + 4, qAlpha(c) * 3 / 4);
    }
  }
  return out;
}

// ---------------------------------------------------------------------------------------------
// Tool icons, 16x16.

void DrawFloppy(QPainter& p) {
  Shape(p, QPolygonF({{1.5, 1.5}, {12.5, 1.5}, {14.5, 3.5}, {14.5, 14.5}, {1.5, 14.5}}), kBlue,
        kBlueDark);
  p.fillRect(4, 2, 8, 5, kSteel);
  p.fillRect(9, 3, 2, 3, kBlueDark);
  p.fillRect(3, 9, 10, 5, kPaper);
  p.fillRect(5, 10, 6, 1, kPaperLine);
  p.fillRect(5, 12, 6, 1, kPaperLine);
}

void DrawPage(QPainter& p, int x, int y, int w, int h, bool lines) {
  Box(p, x, y, w, h, kPaper, kInk);
  if (!lines) return;
  for (int row = y + 2; row < y + h - 2; row += 2) p.fillRect(x + 2, row, w - 4, 1, kPaperLine);
}

void DrawDevice(QPainter& p) {
  Box(p, 1, 10, 14, 5, kSteel, kInk);
  Dot(p, 3, 12, kGreen);
  Dot(p, 5, 12, kGreen);
  Dot(p, 7, 12, kOrange);
  p.fillRect(9, 12, 4, 1, kSteelDark);
}

void DrawPencil(QPainter& p, QPointF tip, QPointF end, double width) {
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(kInk, width + 1.6, Qt::SolidLine, Qt::FlatCap));
  p.drawLine(tip, end);
  const QPointF dir = (end - tip) / std::hypot(end.x() - tip.x(), end.y() - tip.y());
  const QPointF body = tip + dir * 2.6;
  p.setPen(QPen(kOrange, width, Qt::SolidLine, Qt::FlatCap));
  p.drawLine(body, end - dir * 2.0);
  p.setPen(QPen(QColor(0xe8, 0x8f, 0xa6), width, Qt::SolidLine, Qt::FlatCap));
  p.drawLine(end - dir * 2.0, end);
  p.setPen(QPen(QColor(0xf1, 0xd9, 0xb0), width, Qt::SolidLine, Qt::FlatCap));
  p.drawLine(tip + dir * 0.9, body);
}

using IconPainter = std::function<void(QPainter&)>;

struct ToolIconDrawing {
  const char* name;
  IconPainter draw;
};

std::vector<ToolIconDrawing> ToolIconDrawings() {
  return {
      {"open",
       [](QPainter& p) {
         Shape(p,
               QPolygonF(
                   {{1.5, 2.5}, {6.5, 2.5}, {7.5, 3.5}, {13.5, 3.5}, {13.5, 13.5}, {1.5, 13.5}}),
               kYellow, kInk);
         Shape(p, QPolygonF({{4.5, 6.5}, {15.5, 6.5}, {13.5, 13.5}, {1.5, 13.5}}), kYellowLight,
               kInk);
       }},
      {"save", [](QPainter& p) { DrawFloppy(p); }},
      {"save_as",
       [](QPainter& p) {
         DrawFloppy(p);
         DrawPencil(p, {7.0, 15.0}, {15.0, 7.0}, 2.4);
       }},
      {"remote",
       [](QPainter& p) {
         // A plug on its cable about to meet a socket on another, laid on the diagonal.
         p.translate(8, 8);
         p.rotate(-45);
         p.setPen(QPen(kInk, 2.0, Qt::SolidLine, Qt::FlatCap));
         p.drawLine(QPointF(-11, 0), QPointF(-6, 0));
         p.drawLine(QPointF(5, 0), QPointF(11, 0));
         p.setPen(QPen(kBlueDark, 1.0));
         p.setBrush(kBlue);
         p.drawRoundedRect(QRectF(-7, -3.5, 5, 7), 1, 1);
         p.setPen(Qt::NoPen);
         p.setBrush(kSteelDark);
         p.drawRect(QRectF(-2, -2.4, 2.6, 1.4));
         p.drawRect(QRectF(-2, 1.0, 2.6, 1.4));
         p.setPen(QPen(kGreenDark, 1.0));
         p.setBrush(kGreen);
         p.drawRoundedRect(QRectF(1.5, -3.5, 4.5, 7), 1, 1);
       }},
      {"upload",
       [](QPainter& p) {
         DrawDevice(p);
         Shape(p,
               QPolygonF(
                   {{8, 0.5}, {13.5, 6}, {10.5, 6}, {10.5, 9.5}, {5.5, 9.5}, {5.5, 6}, {2.5, 6}}),
               kGreen, kGreenDark);
       }},
      {"download",
       [](QPainter& p) {
         DrawDevice(p);
         Shape(p,
               QPolygonF(
                   {{5.5, 0.5}, {10.5, 0.5}, {10.5, 4}, {13.5, 4}, {8, 9.5}, {2.5, 4}, {5.5, 4}}),
               kBlue, kBlueDark);
       }},
      {"restart",
       [](QPainter& p) {
         const QRectF circle(3.0, 3.0, 10.0, 10.0);
         QPainterPath arc;
         arc.arcMoveTo(circle, 70);
         arc.arcTo(circle, 70, 290);
         p.setBrush(Qt::NoBrush);
         p.setPen(QPen(kBlueDark, 3.6, Qt::SolidLine, Qt::FlatCap));
         p.drawPath(arc);
         p.setPen(QPen(kBlue, 2.0, Qt::SolidLine, Qt::FlatCap));
         p.drawPath(arc);
         // Arrowhead at the arc's start, pointing the way it turns (anticlockwise on screen).
         Shape(p, QPolygonF({{13.5, 0.5}, {13.5, 6.5}, {7.5, 3.5}}), kBlue, kBlueDark);
       }},
      {"rename",
       [](QPainter& p) {
         p.fillRect(1, 14, 14, 1, kSteelDark);
         DrawPencil(p, {2.0, 13.0}, {13.5, 1.5}, 3.0);
       }},
      {"exit",
       [](QPainter& p) {
         Box(p, 1, 1, 8, 14, QColor(0x3d, 0x48, 0x55), kInk);
         Shape(p, QPolygonF({{1.5, 1.5}, {5.5, 3.5}, {5.5, 15.5}, {1.5, 14.5}}), kBrown, kInk);
         Dot(p, 4, 9, kYellowLight);
         Shape(p,
               QPolygonF({{7.5, 6.5},
                          {10.5, 6.5},
                          {10.5, 3.5},
                          {15.5, 8},
                          {10.5, 12.5},
                          {10.5, 9.5},
                          {7.5, 9.5}}),
               kGreen, kGreenDark);
       }},
      {"file_info",
       [](QPainter& p) {
         Shape(p, QPolygonF({{1.5, 0.5}, {8.5, 0.5}, {11.5, 3.5}, {11.5, 14.5}, {1.5, 14.5}}),
               kPaper, kInk);
         Shape(p, QPolygonF({{8.5, 0.5}, {8.5, 3.5}, {11.5, 3.5}}), kSteel, kInk);
         for (int row : {4, 6, 8}) p.fillRect(3, row, 5, 1, kPaperLine);
         p.setPen(QPen(kBlueDark, 1.0));
         p.setBrush(kBlue);
         p.drawEllipse(QPointF(11.5, 11.5), 4.0, 4.0);
         p.fillRect(11, 9, 1, 1, Qt::white);
         p.fillRect(11, 11, 1, 3, Qt::white);
       }},
      {"keyboard",
       [](QPainter& p) {
         Box(p, 0, 3, 16, 10, kSteel, kInk);
         for (int x = 2; x <= 12; x += 2) {
           p.fillRect(x, 5, 1, 1, kInk);
           p.fillRect(x + 1, 7, 1, 1, kInk);
         }
         p.fillRect(4, 10, 8, 1, kInk);
       }},
      {"macro_run",
       [](QPainter& p) {
         DrawPage(p, 1, 0, 10, 14, true);
         Shape(p, QPolygonF({{7.5, 6.5}, {15.5, 11}, {7.5, 15.5}}), kGreen, kGreenDark);
       }},
      {"macro_stop",
       [](QPainter& p) {
         DrawPage(p, 1, 0, 10, 14, true);
         Box(p, 8, 8, 8, 8, kRed, kRedDark);
       }},
      {"scale",
       [](QPainter& p) {
         // A bar of meter segments beside its scale ticks.
         p.fillRect(1, 1, 6, 14, kInk);
         for (int row = 0; row < 6; ++row) {
           const int y = 2 + row * 2;
           const QColor lit = row == 0 ? kRed : row == 1 ? kYellowLight : kGreen;
           p.fillRect(2, y, 4, 1, row == 0 ? QColor(0x6a, 0x30, 0x30) : lit);
         }
         p.fillRect(9, 1, 1, 14, kInk);
         for (int row = 0; row < 7; ++row) {
           const int y = 1 + row * 2 + (row == 6 ? 1 : 0);
           p.fillRect(10, y, row % 2 == 0 ? 5 : 3, 1, kInk);
         }
       }},
      {"lcd",
       [](QPainter& p) {
         Box(p, 0, 2, 16, 12, QColor(0x3d, 0x48, 0x55), kInk);
         p.fillRect(2, 4, 12, 8, QColor(0xa8, 0xd4, 0x6a));
         const QColor pixel(0x2c, 0x4a, 0x18);
         // "dB" in a 3x5 dot matrix, and a bar below.
         for (auto [x, y] : std::vector<std::pair<int, int>>{
                  {5, 5}, {5, 6}, {5, 7}, {5, 8}, {4, 7}, {3, 7}, {3, 8}, {4, 8}}) {
           Dot(p, x, y, pixel);
         }
         for (auto [x, y] : std::vector<std::pair<int, int>>{
                  {8, 5}, {8, 6}, {8, 7}, {8, 8}, {9, 5}, {10, 6}, {9, 7}, {10, 8}, {9, 8}}) {
           Dot(p, x, y, pixel);
         }
         p.fillRect(3, 10, 7, 1, pixel);
         p.fillRect(10, 10, 3, 1, QColor(0x7c, 0x9e, 0x4c));
       }},
      {"options",
       [](QPainter& p) {
         QPainterPath gear;
         gear.addEllipse(QPointF(8, 8), 5.2, 5.2);
         for (int i = 0; i < 8; ++i) {
           QPainterPath tooth;
           tooth.addRect(-1.5, -7.6, 3.0, 4.0);
           QTransform t;
           t.translate(8, 8);
           t.rotate(i * 45.0);
           gear = gear.united(t.map(tooth));
         }
         QPainterPath hole;
         hole.addEllipse(QPointF(8, 8), 2.2, 2.2);
         gear = gear.subtracted(hole);
         p.setPen(QPen(kInk, 1.0));
         p.setBrush(kSteelDark);
         p.drawPath(gear);
       }},
      {"copy",
       [](QPainter& p) {
         DrawPage(p, 1, 1, 9, 11, false);
         DrawPage(p, 6, 4, 9, 11, true);
       }},
      {"paste",
       [](QPainter& p) {
         Box(p, 1, 2, 11, 13, kBrown, kInk);
         Box(p, 4, 1, 5, 3, kSteel, kInk);
         DrawPage(p, 6, 5, 9, 11, true);
       }},
      {"about",
       [](QPainter& p) {
         p.setPen(QPen(kBlueDark, 1.0));
         p.setBrush(kBlue);
         p.drawEllipse(QPointF(8, 8), 7.0, 7.0);
         p.fillRect(7, 3, 2, 2, Qt::white);
         p.fillRect(7, 6, 2, 7, Qt::white);
         p.fillRect(6, 6, 1, 1, Qt::white);
         p.fillRect(6, 12, 4, 1, Qt::white);
       }},
  };
}

void WriteToolIcons() {
  for (const ToolIconDrawing& icon : ToolIconDrawings()) {
    QImage image = Canvas(16, 16);
    {
      QPainter p(&image);
      p.setRenderHint(QPainter::Antialiasing);
      icon.draw(p);
    }
    SavePng(image, QStringLiteral("icons/%1.png").arg(icon.name));
    SavePng(Greyed(image), QStringLiteral("icons/%1_disabled.png").arg(icon.name));
  }
}

// ---------------------------------------------------------------------------------------------
// Matrix cells, 16x16: a 15x15 face with the grid line along the right and bottom, so cells
// tile into a grid.

const QColor kGridLine(0xb9, 0xc2, 0xcd);
const QColor kCellFace(0xf4, 0xf6, 0xf9);

enum class Mark {
  kNone,
  kDot,
  kSmallDot,
  kRing,
  kSquare,
  kDiamond,
  kCross,
  kPlus,
  kTriangle,
  kFill
};

struct CellDrawing {
  QColor face;
  Mark mark;
  QColor colour;
  // Extra touches for the cells with a fixed meaning.
  bool hatch = false;
  bool lock_ring = false;
};

void DrawMark(QPainter& p, Mark mark, QColor colour) {
  const QPointF c(7.5, 7.5);
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  switch (mark) {
    case Mark::kNone:
      break;
    case Mark::kDot:
      p.drawEllipse(c, 4.6, 4.6);
      break;
    case Mark::kSmallDot:
      p.drawEllipse(c, 2.2, 2.2);
      break;
    case Mark::kRing:
      p.setBrush(Qt::NoBrush);
      p.setPen(QPen(colour, 2.0));
      p.drawEllipse(c, 4.2, 4.2);
      break;
    case Mark::kSquare:
      p.fillRect(3, 3, 9, 9, colour);
      break;
    case Mark::kDiamond:
      p.drawPolygon(QPolygonF({{7.5, 1.8}, {13.2, 7.5}, {7.5, 13.2}, {1.8, 7.5}}));
      break;
    case Mark::kCross:
      p.setPen(QPen(colour, 2.2, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(3.5, 3.5), QPointF(11.5, 11.5));
      p.drawLine(QPointF(11.5, 3.5), QPointF(3.5, 11.5));
      break;
    case Mark::kPlus:
      p.fillRect(6, 2, 3, 11, colour);
      p.fillRect(2, 6, 11, 3, colour);
      break;
    case Mark::kTriangle:
      p.drawPolygon(QPolygonF({{7.5, 2.0}, {13.0, 12.5}, {2.0, 12.5}}));
      break;
    case Mark::kFill:
      p.fillRect(1, 1, 13, 13, colour);
      break;
  }
}

std::vector<CellDrawing> CellDrawings() {
  const QColor file_blue(0x1c, 0x3f, 0x94);
  const QColor remote_green(0x1f, 0x9d, 0x3a);
  const QColor local_orange(0xf0, 0x8a, 0x00);
  const QColor purple(0x7b, 0x3f, 0xb5);
  const QColor teal(0x13, 0x7f, 0x86);
  const QColor red(0xcf, 0x2e, 0x2e);
  const QColor black(0x22, 0x22, 0x22);
  const QColor yellow(0xf2, 0xc6, 0x1f);
  return {
      {kCellFace, Mark::kNone, {}},                          // 0 empty
      {QColor(0xe3, 0xea, 0xf3), Mark::kNone, {}},           // 1 empty, banded
      {QColor(0xd2, 0xd4, 0xd7), Mark::kNone, {}, true},     // 2 illegal
      {QColor(0xf6, 0xc4, 0xc4), Mark::kNone, {}, true},     // 3 illegal, highlighted
      {kCellFace, Mark::kSmallDot, file_blue, false, true},  // 4 locked
      {kCellFace, Mark::kRing, file_blue},                   // 5
      {kCellFace, Mark::kDot, file_blue},                    // 6 from file
      {kCellFace, Mark::kSquare, file_blue},                 // 7
      {kCellFace, Mark::kDot, remote_green},                 // 8 remote
      {kCellFace, Mark::kSquare, remote_green},              // 9
      {kCellFace, Mark::kDiamond, remote_green},             // 10
      {kCellFace, Mark::kDot, red},                          // 11
      {kCellFace, Mark::kCross, red},                        // 12
      {kCellFace, Mark::kDot, local_orange},                 // 13 local
      {kCellFace, Mark::kSquare, local_orange},              // 14
      {kCellFace, Mark::kDiamond, local_orange},             // 15
      {kCellFace, Mark::kDiamond, file_blue},                // 16
      {kCellFace, Mark::kDot, purple},                       // 17
      {kCellFace, Mark::kCross, black},                      // 18
      {kCellFace, Mark::kPlus, teal},                        // 19
      {kCellFace, Mark::kFill, file_blue},                   // 20
      {kCellFace, Mark::kFill, remote_green},                // 21
      {kCellFace, Mark::kDot, yellow},                       // 22
      {kCellFace, Mark::kTriangle, file_blue},               // 23
      {kCellFace, Mark::kSmallDot, black},                   // 24
      {kCellFace, Mark::kRing, teal},                        // 25
  };
}

void WriteCells() {
  const std::vector<CellDrawing> cells = CellDrawings();
  for (size_t i = 0; i < cells.size(); ++i) {
    const CellDrawing& cell = cells[i];
    QImage image = Canvas(16, 16, kGridLine);
    {
      QPainter p(&image);
      p.fillRect(0, 0, 15, 15, cell.face);
      p.setRenderHint(QPainter::Antialiasing);
      if (cell.hatch) {
        p.save();
        p.setClipRect(0, 0, 15, 15);
        p.setPen(QPen(cell.face.darker(135), 1.2));
        for (int k = -15; k < 15; k += 4) p.drawLine(QPointF(k, 15), QPointF(k + 15, 0));
        p.restore();
      }
      if (cell.lock_ring) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(0xc8, 0x8a, 0x12), 1.6));
        p.drawRect(QRectF(2.3, 2.3, 10.4, 10.4));
      }
      DrawMark(p, cell.mark, cell.colour);
    }
    SavePng(image, QStringLiteral("cells/cell_%1.png").arg(i, 2, 10, QLatin1Char('0')));
  }
}

// ---------------------------------------------------------------------------------------------
// Pan cursors: black shapes with a white rim, readable on any background.

QPainterPath Arrowhead(QPointF centre, double angle_degrees, double near, double far,
                       double half_width) {
  QPainterPath path;
  path.moveTo(far, 0);
  path.lineTo(near, -half_width);
  path.lineTo(near, half_width);
  path.closeSubpath();
  QTransform t;
  t.translate(centre.x(), centre.y());
  t.rotate(angle_degrees);
  return t.map(path);
}

void WriteCursors() {
  const QPointF centre(16, 16);
  struct Direction {
    const char* name;
    std::vector<double> angles;
  };
  const std::vector<Direction> directions = {
      {"none", {180, 270, 0, 90}}, {"left", {180}}, {"up", {270}}, {"right", {0}}, {"down", {90}}};
  for (const Direction& direction : directions) {
    QPainterPath shape;
    shape.addEllipse(centre, 3.0, 3.0);
    const bool single = direction.angles.size() == 1;
    for (double angle : direction.angles) {
      shape = shape.united(Arrowhead(centre, angle, single ? 6.0 : 8.0, 14.5, single ? 7.0 : 5.0));
    }
    QImage image = Canvas(32, 32);
    {
      QPainter p(&image);
      p.setRenderHint(QPainter::Antialiasing);
      p.strokePath(shape, QPen(Qt::white, 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.fillPath(shape, QColor(0x10, 0x10, 0x10));
    }
    SavePng(image, QStringLiteral("cursors/pan_%1.png").arg(direction.name));
  }

  // The origin marker: a pale disc with four outward arrowheads.
  QImage marker = Canvas(46, 46);
  {
    QPainter p(&marker);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(23, 23);
    p.setPen(QPen(QColor(0x4a, 0x52, 0x5c), 1.5));
    p.setBrush(QColor(255, 255, 255, 215));
    p.drawEllipse(c, 21.0, 21.0);
    QPainterPath heads;
    for (double angle : {0.0, 90.0, 180.0, 270.0}) {
      heads = heads.united(Arrowhead(c, angle, 9.0, 18.0, 6.0));
    }
    heads.addEllipse(c, 3.0, 3.0);
    p.fillPath(heads, QColor(0x3a, 0x42, 0x4c));
  }
  SavePng(marker, "cursors/pan_arrow.png");
}

// ---------------------------------------------------------------------------------------------
// Level-meter bars, shared by the app icon, the splash and the banner.

struct MeterSegment {
  QRectF rect;
  QColor colour;
};

// Bars of stacked segments from `bottom` upwards; `levels` in 0..1 per bar.
std::vector<MeterSegment> MeterBars(double left, double bottom, double bar_width, double gap,
                                    double segment, double segment_gap, int segments,
                                    const std::vector<double>& levels, int unlit_alpha) {
  std::vector<MeterSegment> out;
  for (size_t bar = 0; bar < levels.size(); ++bar) {
    const double x = left + bar * (bar_width + gap);
    const int lit = static_cast<int>(std::lround(levels[bar] * segments));
    for (int s = 0; s < segments; ++s) {
      const double y = bottom - (s + 1) * segment - s * segment_gap;
      const double f = (s + 0.5) / segments;
      QColor colour = f > 0.86   ? QColor(0xff, 0x4d, 0x3d)
                      : f > 0.66 ? QColor(0xff, 0xc8, 0x2e)
                                 : QColor(0x3d, 0xdc, 0x6a);
      // The peak-hold segment a little above the level stays lit.
      const bool peak = s == std::min(segments - 1, lit + 2);
      if (s >= lit && !peak) colour.setAlpha(unlit_alpha);
      out.push_back({QRectF(x, y, bar_width, segment), colour});
    }
  }
  return out;
}

void PaintMeter(QPainter& p, const std::vector<MeterSegment>& segments) {
  p.setPen(Qt::NoPen);
  for (const MeterSegment& s : segments) p.fillRect(s.rect, s.colour);
}

// A faint routing grid with a few lit crosspoints.
void PaintGrid(QPainter& p, const QRectF& area, double pitch, int alpha) {
  p.setPen(QPen(QColor(255, 255, 255, alpha), 1.0));
  for (double x = area.left() + 0.5; x <= area.right(); x += pitch) {
    p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
  }
  for (double y = area.top() + 0.5; y <= area.bottom(); y += pitch) {
    p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
  }
}

void PaintCrosspoints(QPainter& p, const QRectF& area, double pitch,
                      const std::vector<std::pair<int, int>>& points, QColor colour) {
  p.setPen(Qt::NoPen);
  for (auto [col, row] : points) {
    const QPointF c(area.left() + 0.5 + col * pitch, area.top() + 0.5 + row * pitch);
    QRadialGradient halo(c, pitch * 0.9);
    QColor soft = colour;
    soft.setAlpha(colour.alpha() / 3);
    halo.setColorAt(0, soft);
    halo.setColorAt(1, Qt::transparent);
    p.setBrush(halo);
    p.drawEllipse(c, pitch * 0.9, pitch * 0.9);
    p.setBrush(colour);
    p.drawEllipse(c, 2.0, 2.0);
  }
}

QFont NameFont(int pixels) {
  QFont font("DejaVu Sans");
  font.setBold(true);
  font.setPixelSize(pixels);
  font.setLetterSpacing(QFont::PercentageSpacing, 98);
  return font;
}

// The product name with a soft teal glow behind it.
void PaintName(QPainter& p, QPointF baseline, int pixels) {
  QPainterPath text;
  text.addText(baseline, NameFont(pixels), "VT-Zizara");
  for (int i = 3; i >= 1; --i) {
    p.strokePath(text, QPen(QColor(0x5f, 0xd0, 0xc8, 22), i * 3.0, Qt::SolidLine, Qt::RoundCap,
                            Qt::RoundJoin));
  }
  QLinearGradient fill(baseline.x(), baseline.y() - pixels, baseline.x(), baseline.y());
  fill.setColorAt(0, Qt::white);
  fill.setColorAt(1, QColor(0xc8, 0xf1, 0xee));
  p.fillPath(text, fill);
}

void PaintBackdrop(QPainter& p, const QRectF& area, QPointF glow_at, double glow_radius) {
  QLinearGradient base(area.topLeft(), area.bottomRight());
  base.setColorAt(0, kNight);
  base.setColorAt(0.55, QColor(0x0c, 0x33, 0x4f));
  base.setColorAt(1, kSea);
  p.fillRect(area, base);
  QRadialGradient glow(glow_at, glow_radius);
  glow.setColorAt(0, QColor(0x2a, 0xa8, 0xb0, 70));
  glow.setColorAt(1, Qt::transparent);
  p.fillRect(area, glow);
}

// ---------------------------------------------------------------------------------------------
// Splash, 420x280, a rounded card on key green.

constexpr int kSplashWidth = 420;
constexpr int kSplashHeight = 280;
constexpr double kSplashRadius = 18;

QPainterPath SplashOutline() {
  QPainterPath path;
  path.addRoundedRect(QRectF(0, 0, kSplashWidth, kSplashHeight), kSplashRadius, kSplashRadius);
  return path;
}

QImage DrawSplash() {
  QImage image = Canvas(kSplashWidth, kSplashHeight, kKey);
  QPainter p(&image);
  // Hard edge: a blended pixel would be neither key nor card, and show as a green fringe.
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setClipPath(SplashOutline());
  const QRectF card(0, 0, kSplashWidth, kSplashHeight);
  PaintBackdrop(p, card, QPointF(120, 70), 220);
  p.setRenderHint(QPainter::Antialiasing, true);

  const QRectF grid(12, 12, 396, 256);
  PaintGrid(p, grid, 12, 12);
  PaintCrosspoints(p, grid, 12,
                   {{1, 13},
                    {2, 14},
                    {3, 15},
                    {4, 16},
                    {5, 17},
                    {6, 18},
                    {7, 19},
                    {9, 17},
                    {11, 15},
                    {13, 16},
                    {15, 18},
                    {17, 19}},
                   QColor(0x5f, 0xd0, 0xc8, 130));
  PaintCrosspoints(p, grid, 12, {{8, 14}, {12, 19}, {16, 13}}, QColor(0xff, 0xa2, 0x3a, 150));

  // Level meter on the right.
  p.fillRect(QRectF(296, 22, 108, 186), QColor(0, 0, 0, 70));
  p.setPen(QPen(QColor(0x5f, 0xd0, 0xc8, 60), 1.0));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(296.5, 22.5, 107, 185));
  PaintMeter(p, MeterBars(303, 200, 12, 4, 4, 2, 29, {0.58, 0.83, 0.46, 0.94, 0.71, 0.52}, 34));

  PaintName(p, QPointF(22, 78), 50);
  QLinearGradient rule(22, 0, 270, 0);
  rule.setColorAt(0, kGlow);
  rule.setColorAt(1, Qt::transparent);
  p.fillRect(QRectF(24, 92, 246, 2), rule);
  QFont small("DejaVu Sans");
  small.setPixelSize(10);
  small.setLetterSpacing(QFont::AbsoluteSpacing, 1.6);
  p.setFont(small);
  p.setPen(QColor(0x9f, 0xe3, 0xdc));
  p.drawText(QPointF(25, 110), "LEVEL METER CONFIGURATION");

  // The web link button in the bottom-right corner.
  const QRectF button(344, 244, 60, 24);
  QLinearGradient face(button.topLeft(), button.bottomLeft());
  face.setColorAt(0, QColor(0x23, 0x9c, 0x9a));
  face.setColorAt(1, QColor(0x12, 0x6a, 0x70));
  p.setPen(QPen(QColor(0x8d, 0xe6, 0xdf), 1.0));
  p.setBrush(face);
  p.drawRoundedRect(button.adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
  const QPointF globe(357, 256);
  p.setPen(QPen(Qt::white, 1.1));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(globe, 6.0, 6.0);
  p.drawEllipse(globe, 2.6, 6.0);
  p.drawLine(QPointF(globe.x() - 6, globe.y()), QPointF(globe.x() + 6, globe.y()));
  QFont link("DejaVu Sans");
  link.setBold(true);
  link.setPixelSize(12);
  p.setFont(link);
  p.setPen(Qt::white);
  p.drawText(QRectF(365, 244, 37, 24), Qt::AlignCenter, "www");

  // A thin rim of light just inside the outline.
  p.setPen(QPen(QColor(0x5f, 0xd0, 0xc8, 110), 1.0));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(QRectF(1.5, 1.5, kSplashWidth - 3, kSplashHeight - 3), kSplashRadius - 1.5,
                    kSplashRadius - 1.5);
  p.end();
  return image;
}

// The window is cut to the decoded non-key pixels: each row must be one span whose ends sit
// within a pixel of the drawn outline.
void CheckSplashOutline(const QImage& drawn) {
  QString error;
  const QImage decoded = gui::common::LoadJpeg(g_root + "/pictures/splash.jpg", &error);
  if (decoded.isNull()) {
    Fail("splash does not decode: " + error);
    return;
  }
  int worst = 0;
  for (int y = 0; y < decoded.height(); ++y) {
    int drawn_left = -1, drawn_right = -1, left = -1, right = -1, runs = 0;
    bool inside = false;
    for (int x = 0; x < decoded.width(); ++x) {
      if (!gui::common::IsKeyColour(drawn.pixel(x, y))) {
        if (drawn_left < 0) drawn_left = x;
        drawn_right = x;
      }
      const bool card = !gui::common::IsKeyColour(decoded.pixel(x, y));
      if (card && !inside) ++runs;
      inside = card;
      if (card) {
        if (left < 0) left = x;
        right = x;
      }
    }
    if (runs != 1) Fail(QStringLiteral("splash row %1 has %2 spans").arg(y).arg(runs));
    worst = std::max({worst, std::abs(left - drawn_left), std::abs(right - drawn_right)});
  }
  std::printf("splash outline: worst edge drift %d px\n", worst);
  if (worst > 1) Fail("splash outline is ragged");
}

// ---------------------------------------------------------------------------------------------
// About banner, 300x120.

QImage DrawAbout() {
  QImage image = Canvas(300, 120, Qt::black);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF area(0, 0, 300, 120);
  PaintBackdrop(p, area, QPointF(90, 40), 160);
  PaintGrid(p, QRectF(6, 6, 288, 108), 12, 12);
  p.fillRect(QRectF(224, 12, 64, 96), QColor(0, 0, 0, 70));
  PaintMeter(p, MeterBars(230, 102, 8, 3, 3, 1.5, 19, {0.6, 0.86, 0.5, 0.95, 0.7}, 34));
  PaintName(p, QPointF(16, 56), 38);
  QLinearGradient rule(16, 0, 210, 0);
  rule.setColorAt(0, kGlow);
  rule.setColorAt(1, Qt::transparent);
  p.fillRect(QRectF(18, 68, 190, 2), rule);
  QFont small("DejaVu Sans");
  small.setPixelSize(10);
  small.setLetterSpacing(QFont::AbsoluteSpacing, 1.2);
  p.setFont(small);
  p.setPen(QColor(0x9f, 0xe3, 0xdc));
  p.drawText(QPointF(19, 86), "LEVEL METER CONFIGURATION");
  p.drawText(QPointF(19, 100), "AND REMOTE CONTROL");
  p.end();
  return image;
}

// ---------------------------------------------------------------------------------------------
// Application icon, 64x64, as PNG and SVG from the same shapes.

struct IconShapes {
  QRectF card{2, 2, 60, 60};
  double radius = 12;
  std::vector<MeterSegment> meter =
      MeterBars(12, 52, 7, 3, 3, 1.6, 9, {0.55, 0.88, 0.42, 1.0, 0.66}, 50);
  std::vector<double> grid_lines{14, 26, 38, 50};
};

void WriteAppIcon() {
  const IconShapes shapes;
  QImage image = Canvas(64, 64);
  {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient base(shapes.card.topLeft(), shapes.card.bottomRight());
    base.setColorAt(0, kNight);
    base.setColorAt(1, kSea);
    p.setPen(QPen(kGlow, 1.5));
    p.setBrush(base);
    p.drawRoundedRect(shapes.card, shapes.radius, shapes.radius);
    p.setPen(QPen(QColor(255, 255, 255, 28), 1.0));
    for (double v : shapes.grid_lines) {
      p.drawLine(QPointF(v, 6), QPointF(v, 58));
      p.drawLine(QPointF(6, v), QPointF(58, v));
    }
    PaintMeter(p, shapes.meter);
  }
  SavePng(image, "icons/vt-zizara.png");
  // The desktop's 48-pixel slot: the same drawing, smoothly scaled.
  SavePng(image.scaled(48, 48, Qt::IgnoreAspectRatio, Qt::SmoothTransformation),
          "icons/vt-zizara-48.png");

  QFile svg(g_root + "/icons/vt-zizara.svg");
  if (!svg.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    Fail("cannot write " + svg.fileName());
    return;
  }
  QTextStream out(&svg);
  out << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" height=\"64\" "
         "viewBox=\"0 0 64 64\">\n"
      << "  <defs><linearGradient id=\"base\" x1=\"0\" y1=\"0\" x2=\"1\" y2=\"1\">"
      << "<stop offset=\"0\" stop-color=\"" << kNight.name() << "\"/>"
      << "<stop offset=\"1\" stop-color=\"" << kSea.name() << "\"/></linearGradient></defs>\n"
      << "  <rect x=\"" << shapes.card.x() << "\" y=\"" << shapes.card.y() << "\" width=\""
      << shapes.card.width() << "\" height=\"" << shapes.card.height() << "\" rx=\""
      << shapes.radius << "\" fill=\"url(#base)\" stroke=\"" << kGlow.name()
      << "\" stroke-width=\"1.5\"/>\n"
      << "  <g stroke=\"#ffffff\" stroke-opacity=\"0.11\" stroke-width=\"1\">\n";
  for (double v : shapes.grid_lines) {
    out << "    <line x1=\"" << v << "\" y1=\"6\" x2=\"" << v << "\" y2=\"58\"/>"
        << "<line x1=\"6\" y1=\"" << v << "\" x2=\"58\" y2=\"" << v << "\"/>\n";
  }
  out << "  </g>\n";
  for (const MeterSegment& s : shapes.meter) {
    out << "  <rect x=\"" << s.rect.x() << "\" y=\"" << s.rect.y() << "\" width=\""
        << s.rect.width() << "\" height=\"" << s.rect.height() << "\" fill=\"" << s.colour.name()
        << "\"";
    if (s.colour.alpha() != 255) out << " fill-opacity=\"" << s.colour.alphaF() << "\"";
    out << "/>\n";
  }
  out << "</svg>\n";
}

// The file manager's icons for presets, macros and packages: a page with a folded corner and
// the extension on a band, a colour per type.
void WriteFileTypeIcons() {
  struct Type {
    const char* ext;
    const char* name;
    const char* colour;
  };
  for (const Type& t : {Type{"PRE", "preset", "#2e7d32"}, Type{"MCR", "macro", "#1565c0"},
                        Type{"CDP", "package", "#c62828"}}) {
    QFile svg(g_root + QStringLiteral("/mimetypes/application-x-vt-zizara-%1.svg").arg(t.name));
    QDir().mkpath(QFileInfo(svg).absolutePath());
    if (!svg.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
      Fail("cannot write " + svg.fileName());
      continue;
    }
    QTextStream(&svg) << QStringLiteral(
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"48\" height=\"48\" "
        "viewBox=\"0 0 48 48\">\n"
        "  <path d=\"M9 3h21l9 9v33H9z\" fill=\"#fafafa\" stroke=\"#555\" stroke-width=\"1.5\"/>\n"
        "  <path d=\"M30 3v9h9\" fill=\"#ddd\" stroke=\"#555\" stroke-width=\"1.5\"/>\n"
        "  <rect x=\"12\" y=\"18\" width=\"24\" height=\"4\" fill=\"%1\" opacity=\"0.35\"/>\n"
        "  <rect x=\"12\" y=\"24\" width=\"18\" height=\"4\" fill=\"%1\" opacity=\"0.35\"/>\n"
        "  <rect x=\"5\" y=\"31\" width=\"38\" height=\"12\" rx=\"2\" fill=\"%1\"/>\n"
        "  <text x=\"24\" y=\"40.5\" font-family=\"sans-serif\" font-size=\"10\" "
        "font-weight=\"bold\" fill=\"#fff\" text-anchor=\"middle\">%2</text>\n"
        "</svg>\n")
                                  .arg(QLatin1String(t.colour), QLatin1String(t.ext));
  }
}

}  // namespace
}  // namespace zizara::tools::picture_gen

int main(int argc, char** argv) {
  namespace gen = zizara::tools::picture_gen;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s RESOURCES_DIR\n", argv[0]);
    return 2;
  }
  gen::g_root = QString::fromLocal8Bit(argv[1]);
  gen::WriteToolIcons();
  gen::WriteCells();
  gen::WriteCursors();
  gen::WriteAppIcon();
  gen::WriteFileTypeIcons();
  const QImage splash = gen::DrawSplash();
  gen::SaveJpeg(splash, "pictures/splash.jpg", 95);
  gen::CheckSplashOutline(splash);
  gen::SaveJpeg(gen::DrawAbout(), "pictures/about.jpg", 92);
  return gen::g_failures == 0 ? 0 : 1;
}
