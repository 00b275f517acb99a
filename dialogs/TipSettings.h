/*
 * The one-time tips without their window: the table of tips (id and text)
 * and the registry value "dsa" under the settings key, one bit per tip id,
 * a set bit meaning "do not show again".
 *
 * Tricky points:
 * - Two tips share id 4, so suppressing either suppresses both.
 * - The first question creates the value as 0; a value of another type (or
 *   too short) counts as missing and is replaced by 0.
 * - Any registry failure means "not shown" when asking, and nothing when
 *   suppressing: a tip never blocks the work it follows.
 */
#pragma once

#include <string>

namespace tips {

inline constexpr char ValueName[] = "dsa";
inline constexpr char Title[] = "Brimsafe";

struct Tip {
    int id;
    const char* text;
};

// The program's tips, by what raises them.
extern const Tip ClosingVault;     // the program is closed
extern const Tip SortByHeading;    // a second entry was added to a category (shows the sort picture)
extern const Tip FilesDropped;     // files or folders were dropped and added
extern const Tip FileAdded;        // a file was added with the Add File button
extern const Tip ChangesSaved;     // the first change made to an entry in the editor panel
extern const Tip FileRemoved;      // a file was removed from the vault
extern const Tip DragAndDrop;      // the Add File button, before its file dialog

// The tip whose id shows the sort picture.
inline constexpr int PictureTipId = 2;

// True when the tip may be shown: the id's bit is clear in the value (created as 0 when missing).
bool IsTipEnabled(int tipId, const std::string& valueName = ValueName);
// Sets the id's bits in the value.
void DisableTip(int tipId, const std::string& valueName = ValueName);

}  // namespace tips
