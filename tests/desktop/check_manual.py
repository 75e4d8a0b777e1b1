"""The HTML manual holds together: every link and picture of a page leads to
a file that exists (and to an anchor that exists), every menu item has its
entry in menus.html, and every qimtool subcommand has a page.
   check_manual.py SOURCE_DIR QIMTOOL"""
import html.parser
import os
import subprocess
import sys
import urllib.parse

src, qimtool = sys.argv[1], sys.argv[2]
manual = os.path.join(src, 'docs', 'manual')
failures = []


class Page(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.links, self.ids = [], set()

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if 'id' in a:
            self.ids.add(a['id'])
        for key in ('href', 'src'):
            if key in a:
                self.links.append(a[key])


pages = {}
for name in os.listdir(manual):
    if name.endswith('.html'):
        page = Page()
        with open(os.path.join(manual, name), encoding='utf-8') as f:
            page.feed(f.read())
        pages[name] = page

for name, page in pages.items():
    for link in page.links:
        url = urllib.parse.urlsplit(link)
        if url.scheme:
            failures.append(f'{name}: {link} leads out of the manual')
            continue
        target = os.path.normpath(os.path.join(manual, url.path)) if url.path else os.path.join(manual, name)
        if not os.path.isfile(target):
            failures.append(f'{name}: {link} leads to no file')
        elif url.fragment and os.path.basename(target) in pages and url.fragment not in pages[os.path.basename(target)].ids:
            failures.append(f'{name}: {link} leads to no anchor')

# The context help opens menus.html#c<command> for every item of every menu.
with open(os.path.join(src, 'tests', 'data', 'ui', 'menus.tsv'), encoding='utf-8') as f:
    for line in f:
        fields = line.rstrip('\n').split('\t')
        if line.startswith('#') or len(fields) < 4 or not fields[3]:
            continue
        if f'c{fields[1]}' not in pages['menus.html'].ids:
            failures.append(f'menus.html has no entry for command {fields[1]} ({fields[3]})')

out = subprocess.run([qimtool, '--help'], capture_output=True, text=True, check=True).stdout
for line in out.splitlines():
    if line.startswith('  ') and line.split():
        sub = line.split()[0]
        if f'qimtool-{sub}.html' not in pages:
            failures.append(f'qimtool {sub} has no page in the manual')

for failure in failures:
    print('FAIL:', failure)
if failures:
    sys.exit(1)
print(f'manual: {len(pages)} pages, every link leads somewhere')
