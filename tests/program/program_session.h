// The whole program on the headless backend, inside one test: its user
// data, settings, trash and runtime directories in a fresh temporary
// folder, the virtual clock, injected input, message boxes answered (and
// kept) instead of shown, and a stop that returns the exit code.
//
//   Program_Session program;          // 1024 x 768, nothing set
//   program.Start();                  // up to the main window, title gone
//   program.Click(program.Center_Of(program.Main()->help_button));
//   EXPECT_EQ(program.Stop(), 0);
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ifs_application.h"
#include "app/ifs_frame_window.h"
#include "app/ifs_main_window.h"
#include "platform/backend/headless/headless_session.h"
#include "platform/system/file_system.h"
#include "platform/window/message_box.h"

struct Program_Options {
  TSize screen{1024, 768};
  // Written to the settings file as "UserPath" when given.
  std::optional<std::string> user_path{};
  // The display's bits per pixel (0: the real true-colour report).
  int screen_bits = 0;
  // What the user data directory's volume reports (nothing: the real one).
  std::optional<TFree_Space> free_space{};
};

class Program_Session {
 public:
  explicit Program_Session(Program_Options options = {});
  ~Program_Session();
  Program_Session(const Program_Session&) = delete;
  Program_Session& operator=(const Program_Session&) = delete;

  // Starts the program and, unless it refused, runs until the title has
  // closed and start-up is over (or settle_ms of virtual time passed), and
  // closes the help a new user is greeted with.
  void Start(uint32_t settle_ms = 30000);
  // Only the start-up call itself: the title is still up. A program still
  // running is stopped first.
  void Start_Only();
  // The rest of Start, for a program started with Start_Only.
  void Finish_Start(uint32_t settle_ms = 30000);
  void Run_Until_Idle();
  // Moves the clock on until the title has uncovered its picture and
  // closed (or settle_ms of virtual time passed).
  void Let_Title_Close(uint32_t settle_ms = 30000);
  void Advance(uint32_t ms);
  void Click(TPoint screen);
  void Key(uint32_t vk);
  void Post(UINT message, WPARAM wp = 0, LPARAM lp = 0);
  // The Name and Level button, with the dialog's OK standing for the user
  // giving the current user that name and level index (the same person).
  void Change_User(const std::string& name, int32_t level);
  // Gives the drawing window a drawing with an upright block in the left of
  // its area, as adding a shape leaves it.
  void Draw_Block();
  bool Snapshot(const std::string& name) const;
  // The centre of a window on the screen.
  static TPoint Center_Of(const TWindow* window);

  IFS_Application& App() { return *app_; }
  IFS_Frame_Window* Frame() const;
  IFS_Main_Window* Main() const;
  THeadless_Backend& Backend() { return headless_->Backend(); }
  // A quit is waiting (a refusal, a display change).
  bool Quit_Pending() const;
  // Closes the frame (when still up), runs the program to its end, deletes
  // the application and gives the run loop's exit code.
  int Stop();
  // The system asks the program to end (a logout): the main loop runs to
  // the end that makes, then as Stop.
  int End_For_The_System();

  // Every message box the program showed, in order (each answered with its
  // first button).
  std::vector<TMessage_Box_Request> Boxes;
  const std::string& Folder() const { return folder_; }
  // The process-wide objects as the application made and deleted them.
  std::vector<std::string> Made, Deleted;

 private:
  Program_Options options_;
  std::string folder_;
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_environment_;
  std::unique_ptr<THeadless_Session> headless_;
  std::unique_ptr<IFS_Application> app_;
  TMessage_Box_Hook saved_hook_;
  int exit_code_ = -1;
};
