// A core that uses Qt's painting.
#include <QColor>
#include <QString>
#include <vector>
