// The graph windows' part of the screenshot tour: all five graphs of the photographed port open
// while its demo run makes calls, then one picture of them side by side and one of each.
#pragma once

#include <QString>

namespace zev7 {

class TMainForm;

void openTourGraphs(TMainForm& window, int port);
void shootTourGraphs(TMainForm& window, int port, const QString& directory);

}  // namespace zev7
