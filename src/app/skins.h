#pragma once
// The window's visual styles. A skin is known to the rest of the tool only by
// its index in the list; the list starts with the platform's own style.

#include <QColor>
#include <QStringList>

namespace qvk {

const QStringList& skin_names();
// Makes the skin the application's style; an index outside the list gives
// the platform's own style.
void apply_skin(int index);
// Colour of the title bar under the skin.
QColor skin_title_colour(int index);
// The busy indicator is drawn black on the skins whose title bar is light,
// white on all others (and when no skin is selected).
bool busy_indicator_black(int index);

} // namespace qvk
