// The SDL back end's reading of a controller, on one of SDL's virtual joysticks: the game's
// button numbering and the stick's scale, without any device attached.
#include <SDL.h>
#include <gtest/gtest.h>

#include <utility>

#include "platform/sdl/sdl_controller.h"

namespace {

class SdlController : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    m_index = SDL_JoystickAttachVirtualEx(&desc);
    ASSERT_GE(m_index, 0) << SDL_GetError();
    ASSERT_TRUE(SDL_IsGameController(m_index));
    m_controller = SDL_GameControllerOpen(m_index);
    ASSERT_NE(m_controller, nullptr) << SDL_GetError();
    m_joystick = SDL_GameControllerGetJoystick(m_controller);
  }
  void TearDown() override {
    if (m_controller) SDL_GameControllerClose(m_controller);
    if (m_index >= 0) SDL_JoystickDetachVirtual(m_index);
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
  }

  plat::ControllerState Read() {
    SDL_GameControllerUpdate();
    plat::ControllerState state;
    plat::ReadSdlController(m_controller, &state);
    return state;
  }

  int m_index = -1;
  SDL_GameController* m_controller = nullptr;
  SDL_Joystick* m_joystick = nullptr;
};

TEST_F(SdlController, EachButtonLandsAtItsPlaceInTheGamesNumberingAndNowhereElse) {
  // SDL's names for the places, with the face buttons named as on the south-is-A layout.
  const std::pair<const char*, int> places[] = {
      {"a", plat::PAD_SOUTH},
      {"b", plat::PAD_EAST},
      {"x", plat::PAD_WEST},
      {"y", plat::PAD_NORTH},
      {"back", plat::PAD_BACK},
      {"guide", plat::PAD_GUIDE},
      {"start", plat::PAD_START},
      {"leftstick", plat::PAD_LEFT_STICK},
      {"rightstick", plat::PAD_RIGHT_STICK},
      {"leftshoulder", plat::PAD_LEFT_SHOULDER},
      {"rightshoulder", plat::PAD_RIGHT_SHOULDER},
      {"dpup", plat::PAD_DPAD_UP},
      {"dpdown", plat::PAD_DPAD_DOWN},
      {"dpleft", plat::PAD_DPAD_LEFT},
      {"dpright", plat::PAD_DPAD_RIGHT},
  };
  for (const auto& [name, pad] : places) {
    const SDL_GameControllerButton sdl = SDL_GameControllerGetButtonFromString(name);
    ASSERT_NE(sdl, SDL_CONTROLLER_BUTTON_INVALID) << name;
    EXPECT_EQ(plat::SdlButtonForPad(pad), sdl) << name;
    // A game controller made of a virtual joystick has its buttons in SDL's order.
    ASSERT_EQ(SDL_JoystickSetVirtualButton(m_joystick, sdl, SDL_PRESSED), 0) << SDL_GetError();
    const plat::ControllerState state = Read();
    for (int b = 0; b < 128; ++b)
      EXPECT_EQ(state.buttons[b], b == pad ? plat::PAD_PRESSED : 0) << name << " byte " << b;
    SDL_JoystickSetVirtualButton(m_joystick, sdl, SDL_RELEASED);
  }
  // Buttons beyond the game's numbering (paddles, touchpad) are never reported.
  ASSERT_EQ(SDL_JoystickSetVirtualButton(m_joystick, SDL_CONTROLLER_BUTTON_TOUCHPAD, SDL_PRESSED), 0);
  const plat::ControllerState state = Read();
  for (int b = 0; b < 128; ++b) EXPECT_EQ(state.buttons[b], 0) << b;
}

TEST_F(SdlController, TheLeftStickIsScaledWithUpAndLeftNegative) {
  struct Case {
    Sint16 x, y;
    int wantX, wantY;
  };
  const Case cases[] = {
      {0, 0, 0, 0},
      {32767, -32768, 1000, -1000},
      {-32768, 32767, -1000, 1000},
      {19661, -19661, 600, -600},  // the edge of an arrow
  };
  for (const Case& c : cases) {
    SDL_JoystickSetVirtualAxis(m_joystick, SDL_CONTROLLER_AXIS_LEFTX, c.x);
    SDL_JoystickSetVirtualAxis(m_joystick, SDL_CONTROLLER_AXIS_LEFTY, c.y);
    const plat::ControllerState state = Read();
    EXPECT_EQ(state.x, c.wantX) << c.x;
    EXPECT_EQ(state.y, c.wantY) << c.y;
  }
}

}  // namespace
