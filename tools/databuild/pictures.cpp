#include "tools/databuild/pictures.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
using Context = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;

Surface MakeSurface(int width, int height) {
  return Surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height),
                 cairo_surface_destroy);
}

void Put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  b[at] = static_cast<uint8_t>(v);
  b[at + 1] = static_cast<uint8_t>(v >> 8);
}
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  Put16(b, at, v);
  Put16(b, at + 2, v >> 16);
}

// Uncompressed 24-bit BMP, rows bottom-up and padded to four bytes: the plainest form,
// which every BMP reader takes.
void WriteBmp(cairo_surface_t* surface, const std::string& path) {
  cairo_surface_flush(surface);
  const int width = cairo_image_surface_get_width(surface);
  const int height = cairo_image_surface_get_height(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const uint8_t* pixels = cairo_image_surface_get_data(surface);
  const size_t rowBytes = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  const size_t headerBytes = 14 + 40;
  std::vector<uint8_t> file(headerBytes + rowBytes * height, 0);
  file[0] = 'B';
  file[1] = 'M';
  Put32(file, 2, static_cast<uint32_t>(file.size()));
  Put32(file, 10, headerBytes);
  Put32(file, 14, 40);
  Put32(file, 18, width);
  Put32(file, 22, height);
  Put16(file, 26, 1);   // planes
  Put16(file, 28, 24);  // bits per pixel
  Put32(file, 34, static_cast<uint32_t>(rowBytes * height));
  Put32(file, 38, 2835);  // 72 dpi
  Put32(file, 42, 2835);
  for (int y = 0; y < height; ++y) {
    const uint32_t* src = reinterpret_cast<const uint32_t*>(pixels + stride * y);
    uint8_t* dst = file.data() + headerBytes + rowBytes * (height - 1 - y);
    for (int x = 0; x < width; ++x) {
      dst[x * 3] = static_cast<uint8_t>(src[x]);            // blue
      dst[x * 3 + 1] = static_cast<uint8_t>(src[x] >> 8);   // green
      dst[x * 3 + 2] = static_cast<uint8_t>(src[x] >> 16);  // red
    }
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

struct Random {
  uint32_t state = 2024;
  double Next() {  // 0 to 1
    state = state * 1664525u + 1013904223u;
    return (state >> 8) / 16777216.0;
  }
};

void Flower(cairo_t* cr, double x, double y, double radius, int petals, double turn,
            const double petal[3], const double heart[3]) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, turn);
  for (int i = 0; i < petals; ++i) {
    cairo_save(cr);
    cairo_rotate(cr, 2 * M_PI * i / petals);
    cairo_translate(cr, radius * 0.55, 0);
    cairo_scale(cr, radius * 0.55, radius * 0.25);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_set_source_rgb(cr, petal[0], petal[1], petal[2]);
    cairo_fill_preserve(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.25);
    cairo_set_line_width(cr, 0.6);
    cairo_stroke(cr);
  }
  cairo_arc(cr, 0, 0, radius * 0.22, 0, 2 * M_PI);
  cairo_set_source_rgb(cr, heart[0], heart[1], heart[2]);
  cairo_fill(cr);
  cairo_restore(cr);
}

void DrawTitle(cairo_t* cr) {
  // A meadow seen from above, fading to a dusk sky at the top.
  cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, TITLE_HEIGHT);
  cairo_pattern_add_color_stop_rgb(sky, 0.0, 0.20, 0.12, 0.35);
  cairo_pattern_add_color_stop_rgb(sky, 0.35, 0.18, 0.38, 0.20);
  cairo_pattern_add_color_stop_rgb(sky, 1.0, 0.08, 0.26, 0.10);
  cairo_set_source(cr, sky);
  cairo_paint(cr);
  cairo_pattern_destroy(sky);

  const double purple[3] = {0.55, 0.25, 0.75}, purpleHeart[3] = {0.98, 0.85, 0.30};
  const double yellow[3] = {0.98, 0.84, 0.18}, yellowHeart[3] = {0.55, 0.30, 0.10};
  struct Bloom {
    double x, y, r, turn;
    bool purple;
  };
  std::vector<Bloom> blooms;
  Random random;
  for (int i = 0; i < 70; ++i) {
    Bloom b;
    b.x = random.Next() * TITLE_WIDTH;
    b.y = 55 + random.Next() * (TITLE_HEIGHT - 45);
    b.r = 6 + (b.y / TITLE_HEIGHT) * 12 + random.Next() * 4;  // nearer is larger
    b.turn = random.Next() * M_PI;
    b.purple = random.Next() < 0.5;
    blooms.push_back(b);
  }
  // Far to near, so that nearer flowers cover farther ones.
  std::sort(blooms.begin(), blooms.end(), [](const Bloom& a, const Bloom& b) { return a.y < b.y; });
  for (const Bloom& b : blooms) {
    cairo_set_source_rgb(cr, 0.12, 0.45, 0.15);
    cairo_set_line_width(cr, 1.2);
    cairo_move_to(cr, b.x, b.y);
    cairo_line_to(cr, b.x + std::sin(b.turn * 7) * 3, b.y + b.r * 1.5);
    cairo_stroke(cr);
    Flower(cr, b.x, b.y, b.r, b.purple ? 6 : 8, b.turn, b.purple ? purple : yellow,
           b.purple ? purpleHeart : yellowHeart);
  }

  // The name, as large as the width allows, with a dark edge so it reads over the flowers.
  cairo_select_font_face(cr, "DejaVu Serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
  cairo_set_font_size(cr, 100);
  cairo_text_extents_t e;
  cairo_text_extents(cr, "Chimebox", &e);
  const double size = 100 * (TITLE_WIDTH - 16) / e.width;
  cairo_set_font_size(cr, size);
  cairo_text_extents(cr, "Chimebox", &e);
  const double x = (TITLE_WIDTH - e.width) / 2 - e.x_bearing;
  const double y = 18 - e.y_bearing;
  cairo_move_to(cr, x + 2, y + 2);
  cairo_text_path(cr, "Chimebox");
  cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
  cairo_fill(cr);
  cairo_move_to(cr, x, y);
  cairo_text_path(cr, "Chimebox");
  cairo_set_source_rgb(cr, 1.0, 0.95, 0.55);
  cairo_fill_preserve(cr);
  cairo_set_source_rgb(cr, 0.25, 0.08, 0.35);
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);
}

// The board: three rows of three chimes, one colour per row, as the rows differ in sound.
void DrawIcon(cairo_t* cr, double size) {
  cairo_rectangle(cr, 0, 0, size, size);
  cairo_set_source_rgb(cr, 0.30, 0.12, 0.45);
  cairo_fill(cr);
  const double rows[3][3] = {{0.98, 0.84, 0.18}, {0.75, 0.55, 0.95}, {0.45, 0.85, 0.45}};
  const double cell = size / 3;
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      cairo_arc(cr, cell * (c + 0.5), cell * (r + 0.5), cell * 0.36, 0, 2 * M_PI);
      cairo_set_source_rgb(cr, rows[r][0], rows[r][1], rows[r][2]);
      cairo_fill(cr);
    }
  }
}

void DrawAbout(cairo_t* cr, const std::string& version) {
  const double bar = 22;
  cairo_set_source_rgb(cr, 0.94, 0.93, 0.90);
  cairo_paint(cr);
  cairo_rectangle(cr, 0, 0, ABOUT_WIDTH, bar);
  cairo_set_source_rgb(cr, 0.30, 0.12, 0.45);
  cairo_fill(cr);
  cairo_rectangle(cr, 0.5, 0.5, ABOUT_WIDTH - 1, ABOUT_HEIGHT - 1);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);

  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
  cairo_set_font_size(cr, 12);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_move_to(cr, 8, 15);
  cairo_show_text(cr, "About Chimebox");

  cairo_save(cr);
  cairo_translate(cr, 10, bar + 12);
  DrawIcon(cr, 32);
  cairo_restore(cr);

  cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
  cairo_set_font_size(cr, 16);
  cairo_move_to(cr, 50, bar + 24);
  cairo_show_text(cr, "Chimebox");
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, 12);
  cairo_move_to(cr, 50, bar + 42);
  cairo_show_text(cr, ("Version " + version).c_str());
  cairo_set_font_size(cr, 10);
  cairo_move_to(cr, 10, ABOUT_HEIGHT - 12);
  cairo_show_text(cr, "Enter, Escape or F1 closes this box");
}

template <typename Draw>
void Picture(const std::string& path, int width, int height, Draw draw) {
  Surface surface = MakeSurface(width, height);
  Context cr(cairo_create(surface.get()), cairo_destroy);
  draw(cr.get());
  if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) {
    throw std::runtime_error("drawing " + path + ": " + cairo_status_to_string(cairo_status(cr.get())));
  }
  WriteBmp(surface.get(), path);
}

}  // namespace

void WritePictures(const std::string& folder, const std::string& version) {
  Picture(folder + "/title.bmp", TITLE_WIDTH, TITLE_HEIGHT, DrawTitle);
  Picture(folder + "/icon.bmp", 32, 32, [](cairo_t* cr) { DrawIcon(cr, 32); });
  Picture(folder + "/icon16.bmp", 16, 16, [](cairo_t* cr) { DrawIcon(cr, 16); });
  Picture(folder + "/about.bmp", ABOUT_WIDTH, ABOUT_HEIGHT,
          [&](cairo_t* cr) { DrawAbout(cr, version); });
}
