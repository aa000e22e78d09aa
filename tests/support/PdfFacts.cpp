#include "support/PdfFacts.h"

#include "support/Commands.h"

namespace pelvantz::testing {
namespace {

std::string RunPython(const std::string& program, const std::filesystem::path& pdf) {
  return CommandOutput("python3 -c " + ShellQuoted(program) + " " + ShellQuoted(pdf.string()));
}

}  // namespace

std::string PdfText(const std::filesystem::path& pdf, int page) {
  const std::string pages = page > 0 ? "-f " + std::to_string(page) + " -l " + std::to_string(page) + " " : "";
  return CommandOutput("pdftotext " + pages + ShellQuoted(pdf.string()) + " - 2>/dev/null");
}

std::string PdfBookmarks(const std::filesystem::path& pdf) {
  return RunPython(R"(
import json, subprocess, sys
answer = subprocess.run(['qpdf', '--json', '--json-key=outlines', sys.argv[1]], capture_output=True).stdout
for outline in json.loads(answer)['outlines']:
    print(outline['title'], outline['destpageposfrom1'])
)",
                   pdf);
}

std::string PdfLinks(const std::filesystem::path& pdf) {
  return RunPython(R"(
import json, subprocess, sys
def qpdf(key):
    return json.loads(subprocess.run(['qpdf', '--json', '--json-key=' + key, sys.argv[1]], capture_output=True).stdout)
pages = qpdf('pages')['pages']
objects = qpdf('qpdf')['qpdf'][1]
number = {page['object']: page['pageposfrom1'] for page in pages}
def value(item):
    return objects['obj:' + item]['value'] if isinstance(item, str) else item
for page in pages:
    for annotation in value(value(page['object'])).get('/Annots', []):
        link = value(annotation)
        if link.get('/Subtype') != '/Link':
            continue
        target = value(link['/A'])['/URI'][2:] if '/A' in link else 'page %d' % number.get(link['/Dest'][0], 0)
        print('link', page['pageposfrom1'], *(round(v) for v in value(link['/Rect'])), target)
)",
                   pdf);
}

}  // namespace pelvantz::testing
