// Response tables: per-class lists of command, command-enable and private
// message handlers. A class keeps one static table and overrides Find:
//
//   bool Find(TEventInfo& info) override {
//     return Table.Dispatch(*this, info) || TWindow::Find(info);
//   }
//   static inline const TResponse_Table<My_Window> Table = {
//       EV_COMMAND<My_Window>(101, &My_Window::Cm_Ok),
//       EV_COMMAND_ENABLE<My_Window>(101, &My_Window::Ce_Ok),
//       EV_MESSAGE<My_Window>(WM_USER + 0x67, &My_Window::Tab_Selected)};
//
// so a lookup tries the class's own table first and then its base's.
#pragma once

#include <initializer_list>
#include <vector>

#include "platform/window/command_enabler.h"
#include "platform/window/window.h"

template <class T>
struct TResponse_Entry {
  enum class Kind { Command, Command_And_Id, Command_Notify, Child_Notify, Enable, Message };
  Kind kind;
  UINT msg;
  UINT id;
  UINT code = 0;  // Child_Notify: the notification code it answers
  void (T::*command)() = nullptr;
  void (T::*command_id)(WPARAM) = nullptr;
  void (T::*command_notify)(UINT) = nullptr;
  void (T::*enable)(TCommandEnabler&) = nullptr;
  LRESULT (T::*message)(WPARAM, LPARAM) = nullptr;
};

// WM_COMMAND with this id.
template <class T>
TResponse_Entry<T> EV_COMMAND(UINT id, void (T::*f)()) {
  TResponse_Entry<T> e{TResponse_Entry<T>::Kind::Command, WM_COMMAND, id};
  e.command = f;
  return e;
}
// WM_COMMAND with this id; the handler gets the id.
template <class T>
TResponse_Entry<T> EV_COMMAND_AND_ID(UINT id, void (T::*f)(WPARAM)) {
  TResponse_Entry<T> e{TResponse_Entry<T>::Kind::Command_And_Id, WM_COMMAND, id};
  e.command_id = f;
  return e;
}
// WM_COMMAND with this id; the handler gets the notification code (high word).
template <class T>
TResponse_Entry<T> EV_CHILD_NOTIFY_ALL_CODES(UINT id, void (T::*f)(UINT)) {
  TResponse_Entry<T> e{TResponse_Entry<T>::Kind::Command_Notify, WM_COMMAND, id};
  e.command_notify = f;
  return e;
}
// WM_COMMAND with this id and notification code.
template <class T>
TResponse_Entry<T> EV_CHILD_NOTIFY(UINT id, UINT code, void (T::*f)()) {
  TResponse_Entry<T> e{TResponse_Entry<T>::Kind::Child_Notify, WM_COMMAND, id, code};
  e.command = f;
  return e;
}
template <class T>
TResponse_Entry<T> EV_COMMAND_ENABLE(UINT id, void (T::*f)(TCommandEnabler&)) {
  TResponse_Entry<T> e{TResponse_Entry<T>::Kind::Enable, WM_COMMAND_ENABLE, id};
  e.enable = f;
  return e;
}
// Any message (private WM_USER + n messages, or standard ones a class wants
// to take before its virtual handler); the handler gets both parameters.
template <class T>
TResponse_Entry<T> EV_MESSAGE(UINT msg, LRESULT (T::*f)(WPARAM, LPARAM)) {
  TResponse_Entry<T> e{TResponse_Entry<T>::Kind::Message, msg, 0};
  e.message = f;
  return e;
}

template <class T>
class TResponse_Table {
 public:
  TResponse_Table(std::initializer_list<TResponse_Entry<T>> entries) : entries_(entries) {}

  // Calls the handler for info's message and id; false when there is none.
  bool Dispatch(T& self, TEventInfo& info) const {
    using K = typename TResponse_Entry<T>::Kind;
    for (const TResponse_Entry<T>& e : entries_) {
      if (e.msg != info.Msg) continue;
      if (e.kind != K::Message && e.id != info.Id) continue;
      if (e.kind == K::Child_Notify && HIWORD(info.WParam) != e.code) continue;
      if (info.Probe) return true;
      switch (e.kind) {
        case K::Command:
        case K::Child_Notify:
          (self.*e.command)();
          break;
        case K::Command_And_Id:
          (self.*e.command_id)(info.Id);
          break;
        case K::Command_Notify:
          (self.*e.command_notify)(HIWORD(info.WParam));
          break;
        case K::Enable:
          (self.*e.enable)(*reinterpret_cast<TCommandEnabler*>(info.LParam));
          break;
        case K::Message:
          info.Result = (self.*e.message)(info.WParam, info.LParam);
          break;
      }
      return true;
    }
    return false;
  }

 private:
  std::vector<TResponse_Entry<T>> entries_;
};
