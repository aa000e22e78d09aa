#include "ui/Links.h"

#include <filesystem>
#include <string>

namespace pelvantz {

void cmdHomeLink_Click(Shell& shell) { shell.open(std::string(VendorSite) + "/default.aspx"); }

void cmdContactUs_Click(Shell& shell) { shell.open(std::string(VendorSite) + "/frm_feedback.aspx?pg=1"); }

// A missing help page is not handed on: a browser would show an error page
// for it, and a click without a help page is meant to show nothing.
void cmdHelp_Click(Shell& shell, const std::string& applicationFolder) {
  const std::string helpPage = applicationFolder + "/help/pelvantz_PPT.html";
  std::error_code error;
  if (!std::filesystem::is_regular_file(helpPage, error)) return;
  shell.open(helpPage);
}

}  // namespace pelvantz
