#!/usr/bin/env python3
"""Pelio.chm as a reader sees it: unpacked with chmlib's extract_chmLib, every page of the
contents and the index exists, every link between pages and to the style sheet resolves, and
every caption the pages quote in 「」 is one the program shows.
usage: help_file_test.py Pelio.chm SOURCE_DIR"""
import html.parser, os, re, subprocess, sys, tempfile

chm, source = sys.argv[1], sys.argv[2]
failures = []


class Links(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.targets = []  # href/src values and sitemap "Local" values

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag in ('a', 'link') and a.get('href'):
            self.targets.append(a['href'])
        if tag == 'img' and a.get('src'):
            self.targets.append(a['src'])
        if tag == 'param' and (a.get('name') or '').lower() == 'local':
            self.targets.append(a.get('value') or '')


def read(path):
    with open(path, 'rb') as f:
        return f.read().decode('cp932')  # the pages are compiled in Shift-JIS


with tempfile.TemporaryDirectory() as out:
    run = subprocess.run(['extract_chmLib', chm, out], capture_output=True, text=True)
    if run.returncode != 0:
        sys.exit('extract_chmLib failed: ' + run.stdout + run.stderr)
    pages = sorted(f for f in os.listdir(out) if f.endswith('.html'))
    if 'index.html' not in pages:
        failures.append('no start page index.html')
    for sitemap in ('Pelio.hhc', 'Pelio.hhk'):
        if not os.path.exists(os.path.join(out, sitemap)):
            failures.append('missing ' + sitemap)
            continue
        p = Links()
        p.feed(read(os.path.join(out, sitemap)))
        if not p.targets:
            failures.append(sitemap + ' lists no pages')
        for t in p.targets:
            if not os.path.isfile(os.path.join(out, t.split('#')[0])):
                failures.append(f'{sitemap}: {t} is not in the help file')
    contents = Links()
    contents.feed(read(os.path.join(out, 'Pelio.hhc')))
    listed = {t.split('#')[0] for t in contents.targets}
    for page in pages:
        if page not in listed:
            failures.append(f'{page} is not in the contents')
        p = Links()
        text = read(os.path.join(out, page))
        p.feed(text)
        for t in p.targets:
            if re.match(r'^[a-z]+:', t) or t.startswith('#'):
                continue
            if not os.path.isfile(os.path.join(out, t.split('#')[0])):
                failures.append(f'{page}: link {t} does not resolve')
        if '{{' in text:
            failures.append(f'{page}: a marker was left unexpanded')

    # Quoted captions must be the program's own texts.
    program = ''
    for folder in ('core', 'win', 'resources'):
        for root, _, files in os.walk(os.path.join(source, folder)):
            for f in files:
                if f.endswith(('.cpp', '.h', '.rc', '.rc2')):
                    with open(os.path.join(root, f), encoding='utf-8', errors='replace') as s:
                        program += s.read()
    program = program.replace('&&', '\0').replace('&', '').replace('\0', '&')
    for page in pages:
        text = html.unescape(re.sub(r'<[^>]+>', '', read(os.path.join(out, page))))
        for caption in re.findall(r'「([^「」]+)」', text):
            if caption not in program:
                failures.append(f'{page}: 「{caption}」 is no caption of the program')

for f in failures:
    print('FAIL', f)
print(f'{len(pages)} pages checked')
sys.exit(1 if failures else 0)
