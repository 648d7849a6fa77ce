#include "platform/system/cups_print_service.h"

#include <cups/cups.h>
#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <thread>

// Cuts a connection off when its call's deadline passes or when the service
// is interrupted: the socket is shut down under the library's feet, and
// whatever read or write it waits in fails at once. The library's own
// time-outs count only silence, so a server that sends a byte now and then
// would hold a call for ever without this. The library may open the
// connection again on its own (when a request could not be sent): a socket
// it opens after the cut is shut down too, until the call is over.
class TCall_Guard {
 public:
  TCall_Guard(TCups_Print_Service& service, http_t* http, std::chrono::steady_clock::time_point deadline)
      : service(service), http(http), deadline(deadline) {
    watcher = std::thread([this] { Watch(); });
  }
  ~TCall_Guard() {
    {
      std::lock_guard lock(mutex);
      done = true;
    }
    woken.notify_one();
    watcher.join();
    service.Dismiss(this);
  }
  TCall_Guard(const TCall_Guard&) = delete;
  TCall_Guard& operator=(const TCall_Guard&) = delete;

  void Cut() {
    {
      std::lock_guard lock(mutex);
      cut = true;
    }
    woken.notify_one();
  }
  // The connection was cut off: nothing more may be asked on it.
  bool Fired() const { return fired; }

 private:
  void Watch() {
    std::unique_lock lock(mutex);
    woken.wait_until(lock, deadline, [this] { return done || cut; });
    if (done) return;
    fired = true;
    // The socket stays open (the call's owner closes it): only its traffic
    // ends, so no other file can be hit. Whatever socket the call has is cut
    // at every look: one the library opens again may get the number of the
    // one it closed, and was left uncut, holding the call for ever.
    while (!done) {
      const int fd = httpGetFd(http);
      if (fd >= 0) shutdown(fd, SHUT_RDWR);
      woken.wait_for(lock, std::chrono::milliseconds(10), [this] { return done; });
    }
  }

  TCups_Print_Service& service;
  http_t* const http;
  const std::chrono::steady_clock::time_point deadline;
  std::mutex mutex;
  std::condition_variable woken;
  bool done = false;
  bool cut = false;
  std::atomic<bool> fired{false};
  std::thread watcher;
};

namespace {

struct Http_Closer {
  void operator()(http_t* http) const { httpClose(http); }
};
struct Dest_Freer {
  void operator()(cups_dest_t* dest) const { cupsFreeDests(1, dest); }
};
struct Info_Freer {
  void operator()(cups_dinfo_t* info) const { cupsFreeDestInfo(info); }
};
using Http = std::unique_ptr<http_t, Http_Closer>;
using Dest = std::unique_ptr<cups_dest_t, Dest_Freer>;
using Info = std::unique_ptr<cups_dinfo_t, Info_Freer>;

}  // namespace

// A connection and its guard; the guard goes first, before the socket is
// closed.
class TCups_Print_Service::TConnection {
 public:
  http_t* get() const { return http.get(); }
  explicit operator bool() const { return bool(http); }
  // Whether the next request may be made on it.
  bool Alive() const { return http && !guard->Fired(); }

  Http http;
  std::unique_ptr<TCall_Guard> guard;
};

TCups_Print_Service::TCups_Print_Service(std::string server_) : server(std::move(server_)) {}

TCups_Print_Service::~TCups_Print_Service() = default;

bool TCups_Print_Service::Enlist(TCall_Guard* guard) {
  std::lock_guard lock(guards_lock);
  if (interrupted) return false;
  guards.push_back(guard);
  return true;
}

void TCups_Print_Service::Dismiss(TCall_Guard* guard) {
  std::lock_guard lock(guards_lock);
  guards.erase(std::remove(guards.begin(), guards.end(), guard), guards.end());
}

void TCups_Print_Service::Interrupt() {
  std::lock_guard lock(guards_lock);
  interrupted = true;
  for (int* cancel : connecting) std::atomic_ref<int>(*cancel).store(1);
  for (TCall_Guard* guard : guards) guard->Cut();
}

void TCups_Print_Service::Resume() {
  std::lock_guard lock(guards_lock);
  interrupted = false;
}

TCups_Print_Service::TConnection TCups_Print_Service::Connect(int deadline_ms) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(deadline_ms);
  // The library keeps the server it was first given for each thread; the
  // one to use now is asked for again (a server set since is honoured).
  std::string host = server;
  if (host.empty()) {
    cupsSetServer(nullptr);
    host = cupsServer();
  }
  int port = ippPort();
  // "host:port"; a socket path has no port.
  if (host.empty()) return TConnection();
  if (const size_t colon = host.rfind(':'); host[0] != '/' && colon != std::string::npos &&
                                            host.find(':') == colon && colon + 1 < host.size()) {
    port = std::atoi(host.c_str() + colon + 1);
    host.resize(colon);
  }
  TConnection connection;
  // A connection still being opened is given up on Interrupt too: the
  // library looks at the flag while it waits.
  int cancel = 0;
  {
    std::lock_guard lock(guards_lock);
    if (interrupted) return connection;
    connecting.push_back(&cancel);
  }
  connection.http.reset(httpConnect2(host.c_str(), port, nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                     std::min(Connect_Timeout_Ms, deadline_ms), &cancel));
  {
    std::lock_guard lock(guards_lock);
    connecting.erase(std::remove(connecting.begin(), connecting.end(), &cancel), connecting.end());
  }
  if (!connection) return connection;
  const double left_s =
      std::chrono::duration<double>(std::max(Clock::duration::zero(), deadline - Clock::now())).count();
  httpSetTimeout(connection.get(), std::max(0.001, left_s), nullptr, nullptr);
  connection.guard = std::make_unique<TCall_Guard>(*this, connection.get(), deadline);
  // Interrupted since the look above: no request is made at all.
  if (!Enlist(connection.guard.get())) return TConnection();
  return connection;
}

namespace {

// At most this many of a printer's papers are looked at.
constexpr int Most_Papers = 200;

// An attribute of the printer's answer kept as an option of its destination,
// as the library keeps them: the printer's addresses and description, and
// its defaults ("media-default" becomes "media").
void Keep_Option(ipp_attribute_t* attribute, cups_dest_t* dest) {
  const char* name = ippGetName(attribute);
  if (!name) return;
  std::string option = name;
  static const char* const described[] = {"printer-uri-supported", "device-uri", "printer-info", "printer-location",
                                          "printer-make-and-model", "printer-state", "printer-type",
                                          "printer-is-accepting-jobs"};
  const bool description = std::any_of(std::begin(described), std::end(described),
                                       [&](const char* d) { return option == d; });
  if (!description) {
    // Defaults of plain values only, not collections or dates.
    const ipp_tag_t tag = ippGetValueTag(attribute);
    const bool plain = tag == IPP_TAG_BOOLEAN || tag == IPP_TAG_ENUM || tag == IPP_TAG_INTEGER ||
                       tag == IPP_TAG_KEYWORD || tag == IPP_TAG_NAME || tag == IPP_TAG_RANGE;
    const size_t suffix = option.rfind("-default");
    if (!plain || suffix == std::string::npos || suffix + 8 != option.size()) return;
    option.resize(suffix);
  }
  // A default the server names twice (one set for the queue, then its
  // driver's) is the first: the queue's own.
  if (cupsGetOption(option.c_str(), dest->num_options, dest->options)) return;
  char value[2048];
  ippAttributeString(attribute, value, sizeof value);
  dest->num_options = cupsAddOption(option.c_str(), value, dest->num_options, &dest->options);
}

// The options this user gave the printer of his own (lpoptions, read by the
// library with the list of printers on this connection): they come before
// the server's defaults, which do not replace them.
void Add_Own_Options(http_t* http, cups_dest_t* dest) {
  cups_dest_t* dests = nullptr;
  const int count = cupsGetDests2(http, &dests);
  if (const cups_dest_t* own = cupsGetDest(dest->name, nullptr, count, dests))
    for (int i = 0; i < own->num_options; ++i)
      dest->num_options = cupsAddOption(own->options[i].name, own->options[i].value, dest->num_options, &dest->options);
  cupsFreeDests(count, dests);
}

// The printer of that name on this connection's server, nothing when the
// server does not know it or does not answer. The library's own look-up by
// name goes on, when the server does not answer, to search the network over
// connections of its own that no deadline of ours cuts: the printer is
// asked for here, on this connection alone.
Dest Named(http_t* http, const std::string& name) {
  char uri[HTTP_MAX_URI];
  if (httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(), "/printers/%s",
                       name.c_str()) < HTTP_URI_STATUS_OK)
    return nullptr;
  static const char* const wanted[] = {"printer-name", "printer-uri-supported", "device-uri", "printer-info",
                                       "printer-location", "printer-make-and-model", "printer-state",
                                       "printer-type", "printer-is-accepting-jobs", "printer-defaults"};
  ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
  ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", int(std::size(wanted)), nullptr,
                wanted);
  ipp_t* answer = cupsDoRequest(http, request, "/");
  ipp_attribute_t* found = answer ? ippFindAttribute(answer, "printer-name", IPP_TAG_NAME) : nullptr;
  const char* real_name = found ? ippGetString(found, 0, nullptr) : nullptr;
  Dest dest;
  cups_dest_t* dests = nullptr;
  if (real_name && cupsAddDest(real_name, nullptr, 0, &dests) == 1) {
    dest.reset(dests);
    Add_Own_Options(http, dest.get());
    for (ipp_attribute_t* a = ippFirstAttribute(answer); a; a = ippNextAttribute(answer))
      if (ippGetGroupTag(a) == IPP_TAG_PRINTER) Keep_Option(a, dest.get());
  }
  ippDelete(answer);
  return dest;
}

// name empty: the default destination. Asked for by the library, which looks
// for the default on this connection only.
Dest Find(http_t* http, const std::string& name) {
  return name.empty() ? Dest(cupsGetNamedDest(http, nullptr, nullptr)) : Named(http, name);
}

TPrint_Media Media_Of(http_t* http, cups_dest_t* dest, cups_dinfo_t* info, cups_size_t size) {
  TPrint_Media media;
  media.name = size.media;
  if (const char* label = cupsLocalizeDestMedia(http, dest, info, 0, &size)) media.label = label;
  media.width = size.width;
  media.length = size.length;
  media.left = size.left;
  media.bottom = size.bottom;
  media.right = size.right;
  media.top = size.top;
  return media;
}

void Read_Resolution(http_t* http, cups_dest_t* dest, cups_dinfo_t* info, TPrinter_Description& printer) {
  ipp_attribute_t* resolution = cupsFindDestDefault(http, dest, info, "printer-resolution");
  if (!resolution || ippGetValueTag(resolution) != IPP_TAG_RESOLUTION) return;
  int y = 0;
  ipp_res_t units = IPP_RES_PER_INCH;
  int x = ippGetResolution(resolution, 0, &y, &units);
  if (units == IPP_RES_PER_CM) x = x * 254 / 100, y = y * 254 / 100;
  if (x > 0 && y > 0 && x <= 9600 && y <= 9600) printer.dpi_x = x, printer.dpi_y = y;
}

// The first of the printer's own papers that wanted accepts. The library's
// look-ups by name and by size are not used: they can settle on another
// paper (a driver's A5, 148.52 mm wide, came back as 17 x 11 inches).
bool Own_Media(http_t* http, cups_dest_t* dest, cups_dinfo_t* info, const std::function<bool(const cups_size_t&)>& wanted,
               cups_size_t& size) {
  const int count = cupsGetDestMediaCount(http, dest, info, 0);
  for (int i = 0; i < count && i < Most_Papers; ++i)
    if (cupsGetDestMediaByIndex(http, dest, info, i, 0, &size) && wanted(size)) return true;
  return false;
}

// The paper of that name, or else its borderless form (the name with
// "_borderless" added), which is all a printer without margins has.
bool Own_Media_Named(http_t* http, cups_dest_t* dest, cups_dinfo_t* info, const char* name, cups_size_t& size) {
  if (!name || !*name) return false;
  for (const std::string& wanted : {std::string(name), std::string(name) + "_borderless"})
    if (Own_Media(http, dest, info, [&](const cups_size_t& s) { return s.media == wanted; }, size)) return true;
  return false;
}

// The printer's default paper, as the server reports it: the destination's
// own choice of paper, then the printer's media-default, then the size of its
// media-col-default (all a driver's default page size may come as). The
// library's own default falls back on US Letter when the destination names
// no paper, whatever the printer's driver says: it is the last resort.
bool Default_Media(http_t* http, cups_dest_t* dest, cups_dinfo_t* info, cups_size_t& size) {
  if (Own_Media_Named(http, dest, info, cupsGetOption("media", dest->num_options, dest->options), size)) return true;
  ipp_attribute_t* media = cupsFindDestDefault(http, dest, info, "media");
  if (media && ippGetCount(media) > 0 && Own_Media_Named(http, dest, info, ippGetString(media, 0, nullptr), size))
    return true;
  ipp_attribute_t* col = cupsFindDestDefault(http, dest, info, "media-col");
  ipp_t* collection = col && ippGetValueTag(col) == IPP_TAG_BEGIN_COLLECTION ? ippGetCollection(col, 0) : nullptr;
  ipp_attribute_t* sheet = collection ? ippFindAttribute(collection, "media-size", IPP_TAG_BEGIN_COLLECTION) : nullptr;
  ipp_t* dimensions = sheet ? ippGetCollection(sheet, 0) : nullptr;
  ipp_attribute_t* x = dimensions ? ippFindAttribute(dimensions, "x-dimension", IPP_TAG_INTEGER) : nullptr;
  ipp_attribute_t* y = dimensions ? ippFindAttribute(dimensions, "y-dimension", IPP_TAG_INTEGER) : nullptr;
  if (x && y) {
    const int width = ippGetInteger(x, 0), length = ippGetInteger(y, 0);
    if (Own_Media(http, dest, info, [&](const cups_size_t& s) { return s.width == width && s.length == length; }, size))
      return true;
  }
  return cupsGetDestMediaDefault(http, dest, info, 0, &size);
}

// alive: whether the connection may still be asked (it was not cut off).
bool Describe_Dest(http_t* http, const std::function<bool()>& alive, cups_dest_t* dest,
                   TPrinter_Description& printer) {
  printer = TPrinter_Description();
  printer.name = dest->name;
  Info info(cupsCopyDestInfo(http, dest));
  if (!alive()) return false;
  if (!info) return true;  // a printer that says nothing of its paper: the defaults
  cups_size_t size;
  if (Default_Media(http, dest, info.get(), size) && size.width > 0 && size.length > 0 && alive())
    printer.media = Media_Of(http, dest, info.get(), size);
  if (alive()) Read_Resolution(http, dest, info.get(), printer);
  return alive();
}

}  // namespace

bool TCups_Print_Service::Default_Printer(TPrinter_Description& printer) { return Describe("", printer); }

bool TCups_Print_Service::Describe(const std::string& name, TPrinter_Description& printer) {
  TConnection http = Connect(Question_Deadline_Ms);
  if (!http) return false;
  Dest dest = Find(http.get(), name);
  return dest && http.Alive() && Describe_Dest(http.get(), [&] { return http.Alive(); }, dest.get(), printer);
}

std::vector<std::string> TCups_Print_Service::Printer_Names() {
  std::vector<std::string> names;
  TConnection http = Connect(Question_Deadline_Ms);
  if (!http) return names;
  cups_dest_t* dests = nullptr;
  const int count = cupsGetDests2(http.get(), &dests);
  if (!http.Alive()) {
    cupsFreeDests(count, dests);
    return names;
  }
  for (int i = 0; i < count; ++i)
    if (!dests[i].instance) names.push_back(dests[i].name);
  cupsFreeDests(count, dests);
  return names;
}

std::vector<TPrint_Media> TCups_Print_Service::Media(const std::string& name) {
  std::vector<TPrint_Media> media;
  TConnection http = Connect(Question_Deadline_Ms);
  if (!http) return media;
  Dest dest = Find(http.get(), name);
  if (!dest || !http.Alive()) return media;
  Info info(cupsCopyDestInfo(http.get(), dest.get()));
  if (!info || !http.Alive()) return media;
  const int count = cupsGetDestMediaCount(http.get(), dest.get(), info.get(), 0);
  for (int i = 0; i < count && i < Most_Papers && http.Alive(); ++i) {
    cups_size_t size;
    if (cupsGetDestMediaByIndex(http.get(), dest.get(), info.get(), i, 0, &size) && size.width > 0 && size.length > 0)
      media.push_back(Media_Of(http.get(), dest.get(), info.get(), size));
  }
  return media;
}

int32_t TCups_Print_Service::Submit(const std::string& printer, const std::string& title, const std::string& paper,
                                    const std::vector<uint8_t>& pdf) {
  TConnection http = Connect(Submit_Deadline_Ms);
  if (!http) return Unreachable_Server;
  Dest dest = Find(http.get(), printer);
  if (!http.Alive()) return Unreachable_Server;
  if (!dest) return 0;
  Info info(cupsCopyDestInfo(http.get(), dest.get()));
  if (!http.Alive()) return Unreachable_Server;
  if (!info) return 0;
  // The page is made for this paper at its size: the filters must neither
  // pick another paper nor scale it.
  cups_option_t* options = nullptr;
  int count = 0;
  if (!paper.empty()) count = cupsAddOption("media", paper.c_str(), count, &options);
  count = cupsAddOption("print-scaling", "none", count, &options);
  int job = 0;
  const ipp_status_t created = cupsCreateDestJob(http.get(), dest.get(), info.get(), &job, title.c_str(), count, options);
  cupsFreeOptions(count, options);
  if (created > IPP_STATUS_OK_CONFLICTING || job <= 0 || !http.Alive()) {
    if (job > 0) Cancel(printer, job);
    return http.Alive() ? 0 : Unreachable_Server;
  }
  bool sent = cupsStartDestDocument(http.get(), dest.get(), info.get(), job, title.c_str(), CUPS_FORMAT_PDF, 0,
                                    nullptr, 1) == HTTP_STATUS_CONTINUE;
  sent = sent && cupsWriteRequestData(http.get(), reinterpret_cast<const char*>(pdf.data()), pdf.size()) ==
                     HTTP_STATUS_CONTINUE;
  const ipp_status_t finished = cupsFinishDestDocument(http.get(), dest.get(), info.get());
  if (!sent || finished > IPP_STATUS_OK_CONFLICTING || !http.Alive()) {
    // A job the server made but never got whole must not stay behind; it
    // is withdrawn on a connection of its own (this one may be cut off).
    Cancel(printer, job);
    return http.Alive() ? 0 : Unreachable_Server;
  }
  return job;
}

TPrint_Job_State TCups_Print_Service::Job_State(const std::string&, int32_t job) {
  TConnection http = Connect(Look_Deadline_Ms);
  if (!http) return TPrint_Job_State::Unreachable;
  char uri[HTTP_MAX_URI];
  httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0, "/jobs/%d", int(job));
  ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "job-state");
  ipp_t* answer = cupsDoRequest(http.get(), request, "/");
  const ipp_status_t status = cupsLastError();
  TPrint_Job_State state = TPrint_Job_State::Waiting;
  if (status == IPP_STATUS_ERROR_NOT_FOUND) {
    state = TPrint_Job_State::Gone;
  } else if (!answer) {
    // No answer at all: the server went away, or it was cut off.
    state = TPrint_Job_State::Unreachable;
  } else {
    ipp_attribute_t* attribute = ippFindAttribute(answer, "job-state", IPP_TAG_ENUM);
    switch (attribute ? ippGetInteger(attribute, 0) : 0) {
      case IPP_JSTATE_PROCESSING: state = TPrint_Job_State::Printing; break;
      case IPP_JSTATE_CANCELED: state = TPrint_Job_State::Cancelled; break;
      case IPP_JSTATE_ABORTED: state = TPrint_Job_State::Failed; break;
      case IPP_JSTATE_COMPLETED: state = TPrint_Job_State::Completed; break;
      case 0: state = TPrint_Job_State::Gone; break;
      default: state = TPrint_Job_State::Waiting; break;
    }
  }
  ippDelete(answer);
  return state;
}

bool TCups_Print_Service::Cancel(const std::string& printer, int32_t job) {
  TConnection http = Connect(Cancel_Deadline_Ms);
  if (!http) return false;
  return cupsCancelJob2(http.get(), printer.c_str(), job, 0) <= IPP_STATUS_OK_CONFLICTING;
}

namespace {

TPrint_Service* Installed = nullptr;

}  // namespace

TPrint_Service& TPrint_Service::Current() {
  // Never destroyed: a job's document may still be on its way to a server
  // that holds it up while the program ends.
  static TCups_Print_Service* const cups = new TCups_Print_Service;
  return Installed ? *Installed : *cups;
}

void TPrint_Service::Install(TPrint_Service* service) { Installed = service; }
