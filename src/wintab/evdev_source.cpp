#include "wintab/evdev_source.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <linux/input-event-codes.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#if STYLOMAT_HAVE_EVDEV
#include <libevdev/libevdev.h>
#include <libudev.h>
#endif

namespace stylomat {

std::string Open_Error_Text(const std::string& node, int error_number) {
  switch (error_number) {
    case EACCES:
    case EPERM:
      return "No permission to read " + node +
             ": add the user to the input group (sudo usermod -aG input $USER), then log in again.";
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return node + " is not there any more: the tablet was unplugged.";
    default: return "Cannot open " + node + ": " + std::strerror(error_number) + ".";
  }
}

#if STYLOMAT_HAVE_EVDEV

#define STYLOMAT_EVDEV_FUNCTIONS(X)                                                                          \
  X(udev, udev_new) X(udev, udev_unref) X(udev, udev_enumerate_new) X(udev, udev_enumerate_unref)             \
  X(udev, udev_enumerate_add_match_subsystem) X(udev, udev_enumerate_add_match_property)                     \
  X(udev, udev_enumerate_scan_devices) X(udev, udev_enumerate_get_list_entry) X(udev, udev_list_entry_get_next) \
  X(udev, udev_list_entry_get_name) X(udev, udev_device_new_from_syspath) X(udev, udev_device_unref)          \
  X(udev, udev_device_get_devnode) X(udev, udev_device_get_parent) X(udev, udev_device_get_driver)            \
  X(evdev, libevdev_new_from_fd) X(evdev, libevdev_free) X(evdev, libevdev_get_name)                          \
  X(evdev, libevdev_get_id_bustype) X(evdev, libevdev_get_id_vendor) X(evdev, libevdev_get_id_product)        \
  X(evdev, libevdev_get_id_version) X(evdev, libevdev_has_property) X(evdev, libevdev_has_event_type)         \
  X(evdev, libevdev_has_event_code) X(evdev, libevdev_get_abs_info) X(evdev, libevdev_next_event)          \
  X(evdev, libevdev_get_event_value)

struct Evdev_Libraries {
  void* udev = nullptr;
  void* evdev = nullptr;
#define STYLOMAT_DECLARE(lib, name) decltype(&::name) name = nullptr;
  STYLOMAT_EVDEV_FUNCTIONS(STYLOMAT_DECLARE)
#undef STYLOMAT_DECLARE
  ~Evdev_Libraries() {
    if (udev) ::dlclose(udev);
    if (evdev) ::dlclose(evdev);
  }
};

std::shared_ptr<const Evdev_Libraries> Load_Evdev_Libraries(std::string* why, const char* udev_library,
                                                             const char* evdev_library) {
  auto libs = std::make_shared<Evdev_Libraries>();
  libs->udev = ::dlopen(udev_library, RTLD_NOW | RTLD_LOCAL);
  libs->evdev = ::dlopen(evdev_library, RTLD_NOW | RTLD_LOCAL);
  if (!libs->udev || !libs->evdev) {
    if (why) *why = std::string("cannot load ") + (libs->udev ? evdev_library : udev_library);
    return nullptr;
  }
#define STYLOMAT_LOAD(lib, name)                                                   \
  libs->name = reinterpret_cast<decltype(&::name)>(::dlsym(libs->lib, #name));      \
  if (!libs->name) {                                                               \
    if (why) *why = std::string(#name) + " is missing from " + #lib;               \
    return nullptr;                                                                \
  }
  STYLOMAT_EVDEV_FUNCTIONS(STYLOMAT_LOAD)
#undef STYLOMAT_LOAD
  return libs;
}

namespace {

class Evdev_Source final : public Input_Source {
 public:
  Evdev_Source(std::shared_ptr<const Evdev_Libraries> libs, int fd, libevdev* dev, Input_Device_Description d)
      : libs_(std::move(libs)), fd_(fd), dev_(dev), description_(std::move(d)) {}
  ~Evdev_Source() override { Close(); }

  const Input_Device_Description& Description() const override { return description_; }
  void Start() override {}
  void Stop() override {}
  bool Catches_Up() const override { return true; }
  int Descriptor() const override { return fd_; }
  std::string Problem() const override { return problem_; }

  void State_Events(std::vector<Input_Event>& into) const override {
    if (!dev_) return;
    for (unsigned key : description_.Keys) {
      into.push_back({0, EV_KEY, static_cast<std::uint16_t>(key), libs_->libevdev_get_event_value(dev_, EV_KEY, key)});
    }
    for (unsigned axis : {ABS_X, ABS_Y, ABS_PRESSURE}) {
      if (description_.Abs.count(axis)) {
        into.push_back({0, EV_ABS, static_cast<std::uint16_t>(axis), libs_->libevdev_get_event_value(dev_, EV_ABS, axis)});
      }
    }
    into.push_back({0, EV_SYN, SYN_REPORT, 0});
  }

  void Read(std::vector<Input_Event>& into, std::size_t max) override {
    if (!dev_) return;
    for (std::size_t n = 0; n < max; ++n) {
      input_event ev{};
      const int rc = libs_->libevdev_next_event(dev_, syncing_ ? LIBEVDEV_READ_FLAG_SYNC : LIBEVDEV_READ_FLAG_NORMAL, &ev);
      if (rc == -EAGAIN) {
        if (!syncing_) return;
        syncing_ = false;  // the device's state is caught up: back to its events
        continue;
      }
      if (rc < 0) {
        problem_ = rc == -ENODEV ? description_.Node + " went away: the tablet was unplugged."
                                 : "Reading " + description_.Node + " failed: " + std::strerror(-rc) + ".";
        Close();
        return;
      }
      if (rc == LIBEVDEV_READ_STATUS_SYNC && !syncing_) {
        // Events were lost: what follows brings the state up to date.
        syncing_ = true;
        continue;
      }
      Input_Event e;
      e.Micros = static_cast<std::int64_t>(ev.input_event_sec) * 1000000 + ev.input_event_usec;
      e.Type = ev.type;
      e.Code = ev.code;
      e.Value = ev.value;
      into.push_back(e);
    }
  }

 private:
  void Close() {
    if (dev_) libs_->libevdev_free(dev_);
    dev_ = nullptr;
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

  std::shared_ptr<const Evdev_Libraries> libs_;
  int fd_;
  libevdev* dev_;
  Input_Device_Description description_;
  bool syncing_ = false;
  std::string problem_;
};

Input_Device_Description Describe(const Evdev_Libraries& l, libevdev* dev, const std::string& node,
                                  const std::string& driver) {
  Input_Device_Description d;
  const char* name = l.libevdev_get_name(dev);
  d.Name = name && *name ? std::string(name).substr(0, 255) : node;
  d.Bustype = static_cast<std::uint16_t>(l.libevdev_get_id_bustype(dev));
  d.Vendor = static_cast<std::uint16_t>(l.libevdev_get_id_vendor(dev));
  d.Product = static_cast<std::uint16_t>(l.libevdev_get_id_product(dev));
  d.Version = static_cast<std::uint16_t>(l.libevdev_get_id_version(dev));
  d.Node = node;
  d.Driver = driver;
  for (unsigned p = 0; p <= INPUT_PROP_MAX; ++p)
    if (l.libevdev_has_property(dev, p)) d.Properties.insert(p);
  for (unsigned t = 0; t <= EV_MAX; ++t)
    if (l.libevdev_has_event_type(dev, t)) d.Event_Types.insert(t);
  for (unsigned k = 0; k <= KEY_MAX; ++k)
    if (l.libevdev_has_event_code(dev, EV_KEY, k)) d.Keys.insert(k);
  for (unsigned a = 0; a <= ABS_MAX; ++a) {
    if (!l.libevdev_has_event_code(dev, EV_ABS, a)) continue;
    const input_absinfo* info = l.libevdev_get_abs_info(dev, a);
    if (!info) continue;
    d.Abs[a] = Input_Absinfo{info->value, info->minimum, info->maximum, info->fuzz, info->flat, info->resolution};
  }
  return d;
}

// The kernel driver behind an event device: the first parent with one.
std::string Kernel_Driver(const Evdev_Libraries& l, udev_device* device) {
  udev_device* at = device;
  for (int depth = 0; at && depth < 16; ++depth) {
    if (const char* driver = l.udev_device_get_driver(at)) return driver;
    at = l.udev_device_get_parent(at);  // owned by its child
  }
  return {};
}

}  // namespace

Evdev_Open_Result Open_Evdev_Device(const std::shared_ptr<const Evdev_Libraries>& libraries, const std::string& node,
                                    const std::string& driver) {
  Evdev_Open_Result r;
  const int fd = ::open(node.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    r.error = Open_Error_Text(node, errno);
    return r;
  }
  if (!libraries) {
    ::close(fd);
    r.error = "Cannot read " + node + ": libevdev is not installed.";
    return r;
  }
  libevdev* dev = nullptr;
  const int rc = libraries->libevdev_new_from_fd(fd, &dev);
  if (rc < 0) {
    ::close(fd);
    r.error = node + " is not an input event device (" + std::strerror(-rc) + ").";
    return r;
  }
  Input_Device_Description d = Describe(*libraries, dev, node, driver);
  r.source = std::make_unique<Evdev_Source>(libraries, fd, dev, std::move(d));
  return r;
}

Input_Scan Scan_Evdev_Tablets(const std::shared_ptr<const Evdev_Libraries>& libraries) {
  Input_Scan scan;
  if (!libraries) return scan;
  const Evdev_Libraries& l = *libraries;
  udev* u = l.udev_new();
  if (!u) return scan;
  udev_enumerate* e = l.udev_enumerate_new(u);
  if (e) {
    l.udev_enumerate_add_match_subsystem(e, "input");
    l.udev_enumerate_add_match_property(e, "ID_INPUT_TABLET", "1");
    l.udev_enumerate_scan_devices(e);
    int count = 0;
    for (udev_list_entry* entry = l.udev_enumerate_get_list_entry(e); entry && count < 256;
         entry = l.udev_list_entry_get_next(entry), ++count) {
      udev_device* device = l.udev_device_new_from_syspath(u, l.udev_list_entry_get_name(entry));
      if (!device) continue;
      const char* node = l.udev_device_get_devnode(device);
      if (node && std::strncmp(node, "/dev/input/event", 16) == 0) {
        scan.Loaded = true;
        Evdev_Open_Result opened = Open_Evdev_Device(libraries, node, Kernel_Driver(l, device));
        if (opened.source) {
          scan.Sources.push_back(std::move(opened.source));
        } else {
          if (!scan.Problem.empty()) scan.Problem += " ";
          scan.Problem += opened.error;
        }
      }
      l.udev_device_unref(device);
    }
    l.udev_enumerate_unref(e);
  }
  l.udev_unref(u);
  return scan;
}

#else  // built without libudev and libevdev

struct Evdev_Libraries {};

std::shared_ptr<const Evdev_Libraries> Load_Evdev_Libraries(std::string* why, const char*, const char*) {
  if (why) *why = "this program was built without libudev and libevdev";
  return nullptr;
}

Evdev_Open_Result Open_Evdev_Device(const std::shared_ptr<const Evdev_Libraries>&, const std::string& node,
                                    const std::string&) {
  Evdev_Open_Result r;
  const int fd = ::open(node.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    r.error = Open_Error_Text(node, errno);
    return r;
  }
  ::close(fd);
  r.error = "Cannot read " + node + ": this program was built without libevdev.";
  return r;
}

Input_Scan Scan_Evdev_Tablets(const std::shared_ptr<const Evdev_Libraries>&) { return {}; }

#endif

}  // namespace stylomat
