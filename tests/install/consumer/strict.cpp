// Every public header, in a translation unit built the way a strict host builds.
#include <ryQt.h>
