// Waits for a top-level X window with the given name to show a picture, and reports it.
//
//   window_probe NAME TIMEOUT_MS [same HASH | differs HASH]
//
// Succeeds (status 0) as soon as a viewable window named NAME shows more than one colour,
// and, when asked, its picture hashes to HASH (same) or to anything else (differs). Prints
// "WINDOW_ID COLOURS HASH". On time-out prints what it last saw and gives status 1.
// Polls every 2 ms, so it doubles as the clock for the time to the first paint.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <unordered_set>

namespace {

// The window may vanish between finding it and reading it; that is a retry, not a failure.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

// The window's title as the program set it, byte for byte: SDL's message boxes label theirs
// with an encoding ("UTF-8") that neither XFetchName nor Xlib's converters accept.
std::string WindowName(Display* display, Window window) {
  XTextProperty property;
  std::string name;
  if (!XGetWMName(display, window, &property) || !property.value) return name;
  if (property.format == 8) name.assign(reinterpret_cast<char*>(property.value), property.nitems);
  XFree(property.value);
  return name;
}

Window FindTopLevel(Display* display, const char* name) {
  Window root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  Window found = 0;
  if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
    return 0;
  }
  for (unsigned i = 0; i < count && !found; ++i) {
    if (WindowName(display, children[i]) == name) found = children[i];
  }
  if (children) XFree(children);
  return found;
}

struct Picture {
  bool read = false;
  size_t colours = 0;
  uint64_t hash = 0;
};

Picture ReadPicture(Display* display, Window window) {
  Picture picture;
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes) ||
      attributes.map_state != IsViewable) {
    return picture;
  }
  // Only the part on the screen can be read: a box centred on a window near the edge may
  // reach beyond it.
  int rootX = 0, rootY = 0;
  Window child = 0;
  XTranslateCoordinates(display, window, attributes.root, 0, 0, &rootX, &rootY, &child);
  const int left = rootX < 0 ? -rootX : 0;
  const int top = rootY < 0 ? -rootY : 0;
  const int width = std::min(attributes.width, attributes.screen->width - rootX) - left;
  const int height = std::min(attributes.height, attributes.screen->height - rootY) - top;
  if (width <= 0 || height <= 0) return picture;
  XImage* image = XGetImage(display, window, left, top, width, height, AllPlanes, ZPixmap);
  if (!image) return picture;
  std::unordered_set<unsigned long> colours;
  uint64_t hash = 1469598103934665603ull;  // FNV-1a over the pixel values
  for (int y = 0; y < image->height; ++y) {
    for (int x = 0; x < image->width; ++x) {
      const unsigned long pixel = XGetPixel(image, x, y) & 0xffffff;
      colours.insert(pixel);
      hash = (hash ^ pixel) * 1099511628211ull;
    }
  }
  XDestroyImage(image);
  picture.read = true;
  picture.colours = colours.size();
  picture.hash = hash;
  return picture;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 5) {
    std::fprintf(stderr, "usage: %s NAME TIMEOUT_MS [same|differs HASH]\n", argv[0]);
    return 2;
  }
  const char* name = argv[1];
  const auto timeout = std::chrono::milliseconds(std::atol(argv[2]));
  const bool wantSame = argc == 5 && std::strcmp(argv[3], "same") == 0;
  const bool wantDiffers = argc == 5 && std::strcmp(argv[3], "differs") == 0;
  const uint64_t reference = argc == 5 ? std::strtoull(argv[4], nullptr, 16) : 0;
  if (argc == 5 && !wantSame && !wantDiffers) return 2;

  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "window_probe: cannot open the display\n");
    return 1;
  }
  XSetErrorHandler(IgnoreXError);

  const auto deadline = std::chrono::steady_clock::now() + timeout;
  Window window = 0;
  Picture picture;
  for (;;) {
    window = FindTopLevel(display, name);
    if (window) {
      picture = ReadPicture(display, window);
      const bool matches = !(wantSame || wantDiffers) || (wantSame == (picture.hash == reference));
      if (picture.read && picture.colours > 1 && matches) break;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      if (!window) {
        std::fprintf(stderr, "window_probe: no window named '%s'\n", name);
      } else {
        std::fprintf(stderr, "window_probe: window 0x%lx shows %zu colour(s), hash %016llx\n",
                     window, picture.colours, static_cast<unsigned long long>(picture.hash));
      }
      XCloseDisplay(display);
      return 1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  std::printf("0x%lx %zu %016llx\n", window, picture.colours,
              static_cast<unsigned long long>(picture.hash));
  XCloseDisplay(display);
  return 0;
}
