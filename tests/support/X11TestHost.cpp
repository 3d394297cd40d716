#include "support/X11TestHost.h"

#include <xcb/xtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>

#include "platform/x11/X11Owned.h"

template <typename T>
static X11Owned<T> reply(T* r) {
  return X11Owned<T>(r);
}

int OpenDescriptorCount() {
  std::error_code error;
  return int(std::distance(std::filesystem::directory_iterator("/proc/self/fd", error), {}));
}

std::vector<xcb_window_t> ChildWindows(xcb_connection_t* connection, xcb_window_t window) {
  auto tree = reply(xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr));
  if (!tree) return {};
  const xcb_window_t* children = xcb_query_tree_children(tree.get());
  return std::vector<xcb_window_t>(children, children + xcb_query_tree_children_length(tree.get()));
}

void X11EditorTest::SetUp() {
  const std::string why = X11TestHost::Unavailable();
  if (!why.empty()) GTEST_SKIP() << why;
  setenv("HOME", home_.path().c_str(), 1);
}

X11HostWindow::X11HostWindow() : connection_(xcb_connect(nullptr, nullptr)) {
  screen_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
}

X11HostWindow::~X11HostWindow() {
  if (parent_) xcb_destroy_window(connection_, parent_);
  if (colormap_) xcb_free_colormap(connection_, colormap_);
  xcb_disconnect(connection_);
}

xcb_window_t X11HostWindow::Parent(int width, int height, int depth) {
  if (parent_) return parent_;
  xcb_visualid_t visual = screen_->root_visual;
  uint8_t visualDepth = screen_->root_depth;
  if (depth == 32)
    for (auto d = xcb_screen_allowed_depths_iterator(screen_); d.rem; xcb_depth_next(&d))
      if (d.data->depth == 32) {
        visual = xcb_depth_visuals_iterator(d.data).data->visual_id;
        visualDepth = 32;
      }
  colormap_ = xcb_generate_id(connection_);
  xcb_create_colormap(connection_, XCB_COLORMAP_ALLOC_NONE, colormap_, screen_->root, visual);
  parent_ = xcb_generate_id(connection_);
  const uint32_t values[] = {0, 0, colormap_};
  xcb_create_window(connection_, visualDepth, parent_, screen_->root, 10, 10, uint16_t(width),
                    uint16_t(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, visual,
                    XCB_CW_BACK_PIXEL | XCB_CW_BORDER_PIXEL | XCB_CW_COLORMAP, values);
  xcb_map_window(connection_, parent_);
  xcb_flush(connection_);
  return parent_;
}

bool X11HostWindow::EventArrivesOnTheDescriptor(const std::function<bool(int ms)>& runFor) {
  const std::vector<xcb_window_t> editor = Children();
  if (editor.size() != 1) return false;
  xcb_expose_event_t expose{};
  expose.response_type = XCB_EXPOSE;
  expose.window = editor.front();
  expose.width = 1;
  expose.height = 1;
  xcb_send_event(connection_, false, expose.window, XCB_EVENT_MASK_EXPOSURE,
                 reinterpret_cast<const char*>(&expose));
  xcb_flush(connection_);
  for (int waited = 0; waited < 2000; waited += 20)
    if (runFor(20)) return true;
  return false;
}

std::string X11TestHost::Unavailable() {
  const char* display = std::getenv("DISPLAY");
  if (!display || !display[0]) return "no X server: DISPLAY is not set (make test starts Xvfb)";
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  const bool broken = xcb_connection_has_error(c);
  xcb_disconnect(c);
  return broken ? std::string("no X server answers on DISPLAY=") + display : "";
}

X11TestHost::X11TestHost(AEffect* effect, int parentDepth)
    : effect_(effect), parentDepth_(parentDepth) {
  thread_ = std::thread([this] { loop(); });
}

X11TestHost::~X11TestHost() {
  if (open_) Close();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

VstIntPtr X11TestHost::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                float opt) {
  return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

void X11TestHost::loop() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!stop_) {
    std::vector<std::packaged_task<void()>> tasks;
    tasks.swap(tasks_);
    lock.unlock();
    for (auto& task : tasks) task();
    if (open_) Dispatch(effEditIdle);
    lock.lock();
    wake_.wait_for(lock, std::chrono::milliseconds(5), [this] { return stop_ || !tasks_.empty(); });
  }
}

std::future<void> X11TestHost::Start(const std::function<void()>& f) {
  std::packaged_task<void()> task(f);
  std::future<void> done = task.get_future();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  wake_.notify_all();
  return done;
}

void X11TestHost::Run(const std::function<void()>& f) { Start(f).get(); }

bool X11TestHost::WaitFor(const std::function<bool()>& pred, int ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    bool holds = false;
    Run([&] { holds = pred(); });
    if (holds) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

void X11TestHost::Settle(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

bool X11TestHost::Open() {
  bool opened = false;
  Run([&] {
    ERect* rect = nullptr;
    if (!Dispatch(effEditGetRect, 0, 0, &rect) || !rect) return;
    width_ = rect->right - rect->left;
    height_ = rect->bottom - rect->top;
    if (!parent_) {
      X11HostWindow::Parent(width_, height_, parentDepth_);
      Focus();
    }
    opened = Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(uintptr_t(parent_))) == 1;
    open_ = opened;
  });
  return opened;
}

void X11TestHost::Close() {
  Run([&] {
    Dispatch(effEditClose);
    open_ = false;
  });
}

std::vector<xcb_window_t> X11TestHost::Children(xcb_window_t window) {
  return ChildWindows(connection_, window);
}

xcb_window_t X11TestHost::EditorWindow() {
  const std::vector<xcb_window_t> children = Children(parent_);
  return children.empty() ? 0 : children.front();
}

void X11TestHost::MoveTo(int x, int y) {
  auto position = reply(xcb_translate_coordinates_reply(
      connection_,
      xcb_translate_coordinates(connection_, parent_, screen_->root, int16_t(x), int16_t(y)),
      nullptr));
  if (!position) return;
  xcb_test_fake_input(connection_, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, screen_->root,
                      position->dst_x, position->dst_y, 0);
  Focus();
}

void X11TestHost::Button(int button, bool press) {
  xcb_test_fake_input(connection_, press ? XCB_BUTTON_PRESS : XCB_BUTTON_RELEASE, uint8_t(button),
                      XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
  Focus();
}

void X11TestHost::Click(int x, int y, int button) {
  MoveTo(x, y);
  Settle(30);
  Button(button, true);
  Settle(30);
  Button(button, false);
}

uint32_t KeycodeOf(xcb_connection_t* connection, uint32_t keysym) {
  const xcb_setup_t* setup = xcb_get_setup(connection);
  const int count = setup->max_keycode - setup->min_keycode + 1;
  auto mapping = reply(xcb_get_keyboard_mapping_reply(
      connection, xcb_get_keyboard_mapping(connection, setup->min_keycode, uint8_t(count)),
      nullptr));
  if (!mapping) return 0;
  const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(mapping.get());
  for (int k = 0; k < count; ++k)
    for (int i = 0; i < mapping->keysyms_per_keycode; ++i)
      if (syms[k * mapping->keysyms_per_keycode + i] == keysym)
        return uint32_t(setup->min_keycode + k);
  return 0;
}

xcb_atom_t AtomOf(xcb_connection_t* connection, const char* name) {
  auto atom = reply(xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr));
  return atom ? atom->atom : 0;
}

std::string PropertyOf(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t name,
                       xcb_atom_t type) {
  auto value = reply(xcb_get_property_reply(
      connection, xcb_get_property(connection, 0, window, name, type, 0, 1024), nullptr));
  return value ? std::string(static_cast<const char*>(xcb_get_property_value(value.get())),
                             size_t(xcb_get_property_value_length(value.get())))
               : "";
}

void X11TestHost::Key(const char* name) {
  const bool control = !std::strncmp(name, "Ctrl+", 5);
  if (control) name += 5;
  const uint32_t keysym = !std::strcmp(name, "Return")   ? 0xff0d
                          : !std::strcmp(name, "Escape") ? 0xff1b
                          : !std::strcmp(name, "Down")   ? 0xff54
                                                         : uint32_t(name[0]);
  const uint8_t code = uint8_t(KeycodeOf(connection_, keysym));
  const uint8_t controlCode = control ? uint8_t(KeycodeOf(connection_, 0xffe3)) : 0;  // Control_L
  if (!code || (control && !controlCode)) return;
  // Control held around the key's press and release.
  for (const auto& [type, key] : {std::pair<uint8_t, uint8_t>{XCB_KEY_PRESS, controlCode},
                                  {XCB_KEY_PRESS, code},
                                  {XCB_KEY_RELEASE, code},
                                  {XCB_KEY_RELEASE, controlCode}})
    if (key) xcb_test_fake_input(connection_, type, key, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
  Focus();
  Settle(20);
}

xcb_window_t X11TestHost::Focus() {
  auto focus =
      reply(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
  return focus ? focus->focus : 0;
}

bool X11TestHost::PointerGrabbed() {
  auto grab = reply(xcb_grab_pointer_reply(
      connection_,
      xcb_grab_pointer(connection_, 0, screen_->root, 0, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC,
                       XCB_NONE, XCB_NONE, XCB_CURRENT_TIME),
      nullptr));
  const bool grabbed = !grab || grab->status == XCB_GRAB_STATUS_ALREADY_GRABBED;
  if (grab && grab->status == XCB_GRAB_STATUS_SUCCESS)
    xcb_ungrab_pointer(connection_, XCB_CURRENT_TIME);
  xcb_flush(connection_);
  return grabbed;
}

xcb_window_t X11TestHost::FindTopLevel(const std::string& title) {
  for (xcb_window_t window : Children(screen_->root)) {
    auto attributes = reply(xcb_get_window_attributes_reply(
        connection_, xcb_get_window_attributes(connection_, window), nullptr));
    if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE &&
        PropertyOf(connection_, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING) == title)
      return window;
  }
  return 0;
}

std::unique_ptr<LICE_MemBitmap> X11TestHost::Screenshot() {
  const xcb_window_t window = EditorWindow();
  auto image =
      reply(xcb_get_image_reply(connection_,
                                xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0,
                                              uint16_t(width_), uint16_t(height_), ~0u),
                                nullptr));
  if (!image) return nullptr;
  auto shot = std::make_unique<LICE_MemBitmap>(width_, height_);
  const uint8_t* data = xcb_get_image_data(image.get());
  // 32 bits per pixel, little-endian, red in bits 16..23 (the test servers' layout).
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      const uint8_t* p = data + (size_t(y) * size_t(width_) + size_t(x)) * 4;
      LICE_RowPointer(shot.get(), y)[x] = LICE_PackPixel(255, p[2], p[1], p[0]);
    }
  return shot;
}
