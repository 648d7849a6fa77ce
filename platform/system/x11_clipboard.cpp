#include "platform/system/x11_clipboard.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// How long the user-interface thread waits for the clipboard's thread.
constexpr auto Answer_Wait = std::chrono::seconds(3);
// An INCR transfer whose requestor stops taking chunks is dropped.
constexpr auto Stale_Transfer = std::chrono::seconds(30);

struct Transfer {
  Window requestor;
  Atom property;
  TClipboard_Service::TPicture data;
  size_t offset;
  std::chrono::steady_clock::time_point last;
};

// Errors on the clipboard's own connections (a requestor window that went
// away mid-transfer) are expected and ignored; all others go to the handler
// that was there before.
std::mutex connections_lock;
std::vector<Display*> connections;
XErrorHandler previous_handler = nullptr;

int Clipboard_Error_Handler(Display* display, XErrorEvent* error) {
  {
    std::lock_guard<std::mutex> lock(connections_lock);
    for (Display* ours : connections)
      if (ours == display) return 0;
  }
  return previous_handler ? previous_handler(display, error) : 0;
}

void Own_Errors_Of(Display* display, bool own) {
  std::lock_guard<std::mutex> lock(connections_lock);
  if (own) {
    if (!previous_handler) previous_handler = XSetErrorHandler(&Clipboard_Error_Handler);
    connections.push_back(display);
  } else {
    std::erase(connections, display);
  }
}

}  // namespace

struct TX11_Clipboard::Impl {
  enum class Request { Place, Empty };

  Display* display = nullptr;
  Window window = 0;
  int fixes_event = 0;
  bool fixes = false;
  Atom clipboard = 0, targets = 0, timestamp = 0, png = 0, incr = 0, atom_pair = 0;
  int wake[2] = {-1, -1};

  std::mutex mutex;
  std::condition_variable answered;
  struct Pending {
    Request what;
    TPicture picture;
    bool done = false;
    bool result = false;
  };
  std::deque<Pending*> requests;
  std::function<void()> notice;
  bool stopping = false;

  // The thread's own state.
  TPicture held;
  Time owned_since = CurrentTime;
  std::vector<Transfer> transfers;
  std::atomic<int> incr_transfers{0};
  std::thread thread;

  bool Open(const char* name) {
    display = XOpenDisplay(name);
    if (!display) return false;
    Own_Errors_Of(display, true);
    const int screen = DefaultScreen(display);
    window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(display, window, PropertyChangeMask);
    clipboard = XInternAtom(display, "CLIPBOARD", False);
    targets = XInternAtom(display, "TARGETS", False);
    timestamp = XInternAtom(display, "TIMESTAMP", False);
    png = XInternAtom(display, "image/png", False);
    incr = XInternAtom(display, "INCR", False);
    atom_pair = XInternAtom(display, "ATOM_PAIR", False);
    int error_base = 0;
    fixes = XFixesQueryExtension(display, &fixes_event, &error_base);
    if (fixes)
      XFixesSelectSelectionInput(display, window, clipboard,
                                 XFixesSetSelectionOwnerNotifyMask | XFixesSelectionWindowDestroyNotifyMask |
                                     XFixesSelectionClientCloseNotifyMask);
    XFlush(display);
    if (pipe(wake) != 0) return false;
    thread = std::thread([this] { Run(); });
    return true;
  }

  void Close() {
    if (thread.joinable()) {
      {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
      }
      Wake();
      thread.join();
    }
    if (display) {
      XDestroyWindow(display, window);
      XCloseDisplay(display);
      Own_Errors_Of(display, false);
    }
    for (int fd : wake)
      if (fd >= 0) close(fd);
  }

  void Wake() {
    const char byte = 1;
    if (write(wake[1], &byte, 1) < 0) {
      // The pipe is full: the thread is awake anyway.
    }
  }

  bool Ask(Request what, TPicture picture) {
    if (!thread.joinable()) return false;
    Pending pending{what, std::move(picture)};
    std::unique_lock<std::mutex> lock(mutex);
    requests.push_back(&pending);
    Wake();
    if (!answered.wait_for(lock, Answer_Wait, [&] { return pending.done; })) {
      // The thread did not answer in time: the request is withdrawn.
      for (auto it = requests.begin(); it != requests.end(); ++it)
        if (*it == &pending) {
          requests.erase(it);
          return false;
        }
      answered.wait(lock, [&] { return pending.done; });
    }
    return pending.result;
  }

  // ---- The clipboard's thread

  void Run() {
    for (;;) {
      {
        std::unique_lock<std::mutex> lock(mutex);
        if (stopping) return;
        while (!requests.empty()) {
          Pending* pending = requests.front();
          requests.pop_front();
          lock.unlock();
          const bool result = pending->what == Request::Place ? Take(pending->picture) : Give_Up();
          lock.lock();
          pending->result = result;
          pending->done = true;
          answered.notify_all();
        }
      }
      while (XPending(display)) {
        XEvent event;
        XNextEvent(display, &event);
        Handle(event);
      }
      Drop_Stale_Transfers();
      pollfd fds[2] = {{ConnectionNumber(display), POLLIN, 0}, {wake[0], POLLIN, 0}};
      poll(fds, 2, 1000);
      if (fds[1].revents & POLLIN) {
        char bytes[64];
        if (read(wake[0], bytes, sizeof bytes) < 0) {
          // Nothing to drain.
        }
      }
    }
  }

  // A server time: the time of a change to a property of our window.
  Time Server_Time() {
    const Atom stamp = XInternAtom(display, "QUENDAR_TIME", False);
    XChangeProperty(display, window, stamp, XA_STRING, 8, PropModeAppend, nullptr, 0);
    XEvent event;
    XWindowEvent(display, window, PropertyChangeMask, &event);
    while (event.xproperty.atom != stamp) {
      Handle(event);
      XWindowEvent(display, window, PropertyChangeMask, &event);
    }
    return event.xproperty.time;
  }

  bool Take(TPicture picture) {
    if (!picture || picture->empty()) return false;
    const Time now = Server_Time();
    XSetSelectionOwner(display, clipboard, window, now);
    if (XGetSelectionOwner(display, clipboard) != window) return false;
    held = std::move(picture);
    owned_since = now;
    XFlush(display);
    return true;
  }

  bool Give_Up() {
    if (XGetSelectionOwner(display, clipboard) != window) return false;
    XSetSelectionOwner(display, clipboard, None, Server_Time());
    held.reset();
    XFlush(display);
    return true;
  }

  void Handle(XEvent& event) {
    if (fixes && event.type == fixes_event + XFixesSelectionNotify) {
      std::function<void()> tell;
      {
        std::lock_guard<std::mutex> lock(mutex);
        tell = notice;
      }
      if (tell) tell();
      return;
    }
    switch (event.type) {
      case SelectionRequest: Answer(event.xselectionrequest); break;
      case SelectionClear:
        if (event.xselectionclear.selection == clipboard) held.reset();
        break;
      case PropertyNotify:
        if (event.xproperty.state == PropertyDelete) Next_Chunk(event.xproperty.window, event.xproperty.atom);
        break;
      default: break;
    }
  }

  void Answer(const XSelectionRequestEvent& request) {
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.display = request.display;
    reply.requestor = request.requestor;
    reply.selection = request.selection;
    reply.target = request.target;
    reply.time = request.time;
    // Obsolete clients name no property: the target stands for it.
    Atom property = request.property != None ? request.property : request.target;
    reply.property = property;
    const bool ours = request.selection == clipboard && held && request.owner == window;
    if (!ours) {
      reply.property = None;
    } else if (request.target == targets) {
      const Atom offered[3] = {targets, timestamp, png};
      XChangeProperty(display, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(offered), 3);
    } else if (request.target == timestamp) {
      const long time = long(owned_since);
      XChangeProperty(display, request.requestor, property, XA_INTEGER, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(&time), 1);
    } else if (request.target == png) {
      Send_Picture(request.requestor, property);
    } else {
      reply.property = None;
    }
    XSendEvent(display, request.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
    XFlush(display);
  }

  void Send_Picture(Window requestor, Atom property) {
    if (held->size() <= Incr_Threshold) {
      XChangeProperty(display, requestor, property, png, 8, PropModeReplace, held->data(), int(held->size()));
      return;
    }
    // Too large for one request: announce the size, then hand out a chunk
    // each time the requestor deletes the property.
    XSelectInput(display, requestor, PropertyChangeMask);
    const long size = long(held->size());
    XChangeProperty(display, requestor, property, incr, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&size), 1);
    transfers.push_back({requestor, property, held, 0, std::chrono::steady_clock::now()});
    ++incr_transfers;
  }

  void Next_Chunk(Window requestor, Atom property) {
    for (auto it = transfers.begin(); it != transfers.end(); ++it) {
      if (it->requestor != requestor || it->property != property) continue;
      const size_t left = it->data->size() - it->offset;
      const size_t chunk = std::min(left, Incr_Chunk);
      XChangeProperty(display, requestor, property, png, 8, PropModeReplace, it->data->data() + it->offset,
                      int(chunk));
      it->offset += chunk;
      it->last = std::chrono::steady_clock::now();
      // The zero-length chunk that ends the transfer has been written.
      if (chunk == 0) End_Transfer(it);
      XFlush(display);
      return;
    }
  }

  // Forgets a transfer. Its requestor's property changes are followed as
  // long as another transfer to the same window is still under way.
  std::vector<Transfer>::iterator End_Transfer(std::vector<Transfer>::iterator it) {
    const Window requestor = it->requestor;
    it = transfers.erase(it);
    const bool still_served =
        std::any_of(transfers.begin(), transfers.end(), [&](const Transfer& t) { return t.requestor == requestor; });
    if (!still_served && requestor != window) XSelectInput(display, requestor, NoEventMask);
    return it;
  }

  void Drop_Stale_Transfers() {
    const auto now = std::chrono::steady_clock::now();
    for (auto it = transfers.begin(); it != transfers.end();)
      if (now - it->last > Stale_Transfer) it = End_Transfer(it);
      else ++it;
    XFlush(display);
  }
};

TX11_Clipboard::TX11_Clipboard(const char* display) : impl_(std::make_unique<Impl>()) {
  if (!impl_->Open(display)) impl_->Close(), impl_ = std::make_unique<Impl>();
}

TX11_Clipboard::~TX11_Clipboard() { impl_->Close(); }

bool TX11_Clipboard::Connected() const { return impl_->thread.joinable(); }

bool TX11_Clipboard::Place_Png(TPicture png) { return impl_->Ask(Impl::Request::Place, std::move(png)); }

bool TX11_Clipboard::Empty() { return impl_->Ask(Impl::Request::Empty, nullptr); }

void TX11_Clipboard::Watch(std::function<void()> notice) {
  {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->notice = notice;
  }
  if (notice) notice();
}

int TX11_Clipboard::Incr_Transfers() const { return impl_->incr_transfers.load(); }
