// The game's words. Every spoken file is made from the text beside its name here, so this
// is the one file to read to review what a player hears, or to translate the game.
//
// Texts are written for a speech synthesiser: spell out what should be said ("config dot
// dat"), and keep each under thirty seconds of speech.
#include "tools/databuild/texts.h"

namespace {

constexpr SpeechStyle S = SpeechStyle::kSentence;
constexpr SpeechStyle W = SpeechStyle::kWord;

const std::vector<SpokenText> kTexts = {
    // The introduction and the farewell.
    {"game/game_intro",
     "Welcome to Chimebox. Nine sounds lie on a board of three rows and three columns. "
     "Walk the board with the arrow keys; each cell sounds from the left, the centre or the "
     "right, by its column. Space shuffles the board and starts the clock; Space again stops "
     "it. While the clock runs, hold Control with an arrow to turn a row or a column. "
     "Enter plays the cell again, "
     "Escape gives up the level. Put every sound back home: your score is the time left. "
     "The menu follows this introduction; press Control to go there now.",
     S},
    {"game/exit_game", "Thank you for playing Chimebox. Goodbye.", S},
    // F1's About box, which shows the program's name and version.
    {"game/about",
     "About Chimebox, version " CHIMEBOX_VERSION ". Press Escape to go back to the game.", S},

    // The main menu: the prompt, then one name per entry.
    {"menu/arrows",
     "Main menu. Up and down arrows walk the menu, Enter chooses, Escape leaves the game.", S},
    {"menu/start_game", "Start a game.", S},
    {"menu/test_speakers", "Test the speakers.", S},
    {"menu/learn_game_sounds", "Learn the game sounds.", S},
    {"menu/final_score", "Hear your last score.", S},
    {"menu/view_top_10", "Hear the ten best scores.", S},
    {"menu/send_score", "Send your last score.", S},
    {"menu/quit", "Quit.", S},

    // The end of a level and the score screens.
    {"game/say_game_over", "Game over.", S},
    {"game/return_to_menu", "Back to the menu. Press Enter.", S},
    {"game/made_it", "You made it to place", S},
    {"game/not_enough", "Not enough points.", S},

    // Sending a score.
    {"game/check_connected",
     "Send your last score to the online ranking? Be sure you are connected to the "
     "internet. Press Y to send it, or N to go back.",
     S},
    {"game/sending_score", "Sending your score. Please wait.", S},
    {"game/say_config_first",
     "First, fill in the file config dot dat beside the game, with four lines: "
     "your first name, your last name, your address, and your country.",
     S},

    // Scores are spoken by joining these words, one after another.
    {"score/0", "zero", W},
    {"score/1", "one", W},
    {"score/2", "two", W},
    {"score/3", "three", W},
    {"score/4", "four", W},
    {"score/5", "five", W},
    {"score/6", "six", W},
    {"score/7", "seven", W},
    {"score/8", "eight", W},
    {"score/9", "nine", W},
    {"score/10", "ten", W},
    {"score/11", "eleven", W},
    {"score/12", "twelve", W},
    {"score/13", "thirteen", W},
    {"score/14", "fourteen", W},
    {"score/15", "fifteen", W},
    {"score/16", "sixteen", W},
    {"score/17", "seventeen", W},
    {"score/18", "eighteen", W},
    {"score/19", "nineteen", W},
    {"score/20", "twenty", W},
    {"score/30", "thirty", W},
    {"score/40", "forty", W},
    {"score/50", "fifty", W},
    {"score/60", "sixty", W},
    {"score/70", "seventy", W},
    {"score/80", "eighty", W},
    {"score/90", "ninety", W},
    {"score/hundred", "hundred", W},
    {"score/thousand", "thousand", W},
    {"score/say_final_score", "Final score:", W},
    {"score/score_arrows", "Best scores. Use the up and down arrows.", S},
    {"score/your_current_score", "Your current score:", W},
    {"score/say_points", "points.", W},
    {"score/SayLivesRemaining", "Lives remaining:", W},

    // The learn screen: what Enter plays on each entry, in the order of the list.
    {"learn/1",
     "Top row: bells. Enter rings the bell of the left column; the middle and right bells "
     "ring higher. Up and down arrows walk this list, Escape goes back.",
     S},
    {"learn/2",
     "Middle row: plucked strings. Enter plays the left string; the middle and right ones "
     "are higher.",
     S},
    {"learn/3",
     "Bottom row: organ notes. Enter plays the left note; the middle and right ones are "
     "higher.",
     S},
    {"learn/4", "The tick. It comes with every cell you hear.", S},
    {"learn/5", "A row turning left, with Control and the left arrow.", S},
    {"learn/6", "A row turning right, with Control and the right arrow.", S},
    {"learn/7", "A column turning up, with Control and the up arrow.", S},
    {"learn/8", "A column turning down, with Control and the down arrow.", S},
    {"learn/9", "Back to the main menu. Press Enter.", S},

    // The speaker test: each is heard from the place it names.
    {"TestSpk/f_left", "Front left.", S},
    {"TestSpk/f_right", "Front right.", S},
    {"TestSpk/f_left1", "Back left.", S},
    {"TestSpk/f_right1", "Back right.", S},
};

}  // namespace

const std::vector<SpokenText>& SpokenTexts() { return kTexts; }
