#include "prunell/clean_application.h"

#include "prunell/clone_dlls.h"
#include "prunell/linkport_ini.h"
#include "win_tool/compose_path.h"
#include "win_tool/tool_limits.h"

void CleanApplication(const wchar_t* base, const wchar_t* appName) {
  wchar_t dllFolder[kPathChars];
  if (ComposePath(dllFolder, L"%s\\%s\\dll", base, appName)) DeleteCloneDlls(dllFolder);
  wchar_t iniPath[kPathChars];
  if (ComposePath(iniPath, L"%s\\%s\\dll\\Linkport.ini", base, appName)) {
    PruneLinkportIni(iniPath);
  }
}
