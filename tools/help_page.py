#!/usr/bin/env python3
"""Makes the program's help page from the README's "Running it on Windows" section, so the help
and the README say the same. The build runs it and puts the page into tellwire.exe:
    python3 tools/help_page.py README.md VERSION OUT.html
Each "###" heading becomes a section whose id is made the way the program names the section it
opens (app/help_address.cpp, MakeHelpAnchor): letters and digits in lower case, every other run
of characters one "-". The Markdown understood is what that section uses: headings, paragraphs,
"- " lists, tables and `code`.
"""
import html
import re
import sys

SECTION = "## Running it on Windows"


def anchor(title):
    return "-".join(re.findall(r"[a-z0-9]+", title.lower()))


def inline(text):
    parts = text.split("`")
    return "".join(f"<code>{html.escape(p)}</code>" if i % 2 else html.escape(p) for i, p in enumerate(parts))


def section_lines(readme):
    lines = readme.splitlines()
    start = lines.index(SECTION)
    end = next((i for i in range(start + 1, len(lines)) if lines[i].startswith("## ")), len(lines))
    body = lines[start + 1:end]
    first = next(i for i, line in enumerate(body) if line.startswith("### "))
    return body[first:]


def blocks(lines):
    """Groups lines into (kind, lines): heading, table, list or paragraph."""
    block = []
    for line in lines + [""]:
        starts_new = line.startswith("### ") or (line.startswith("- ") and block and not block[0].startswith("- "))
        if (not line.strip() or starts_new) and block:
            yield block
            block = []
        if line.startswith("### "):
            yield [line]
        elif line.strip():
            block.append(line)


def render(block):
    first = block[0]
    if first.startswith("### "):
        title = first[4:].strip()
        return f'<h2 id="{anchor(title)}">{html.escape(title)}</h2>'
    if first.startswith("|"):
        rows = [[cell.strip() for cell in line.strip().strip("|").split("|")] for line in block]
        head, body = rows[0], rows[2:]
        out = ["<table>", "<tr>" + "".join(f"<th>{inline(c)}</th>" for c in head) + "</tr>"]
        out += ["<tr>" + "".join(f"<td>{inline(c)}</td>" for c in row) + "</tr>" for row in body]
        return "\n".join(out + ["</table>"])
    if first.startswith("- "):
        items = []
        for line in block:
            if line.startswith("- "):
                items.append(line[2:].strip())
            else:
                items[-1] += " " + line.strip()
        return "<ul>\n" + "\n".join(f"<li>{inline(item)}</li>" for item in items) + "\n</ul>"
    return f"<p>{inline(' '.join(line.strip() for line in block))}</p>"


def main():
    readme_path, version, out_path = sys.argv[1:4]
    with open(readme_path, encoding="utf-8") as f:
        lines = section_lines(f.read())
    titles = [line[4:].strip() for line in lines if line.startswith("### ")]
    contents = "\n".join(f'<li><a href="#{anchor(t)}">{html.escape(t)}</a></li>' for t in titles)
    body = "\n".join(render(block) for block in blocks(lines))
    page = f"""<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>Tellwire {html.escape(version)} Help</title>
<style>
body {{ font-family: "Segoe UI", Tahoma, sans-serif; max-width: 46em; margin: 1em auto; padding: 0 1em;
       line-height: 1.45; color: #222; }}
h1 {{ font-size: 1.6em; }}
h2 {{ font-size: 1.25em; margin-top: 1.6em; border-bottom: 1px solid #ccd; }}
h2:target {{ background: #fff7d6; }}
code {{ font-family: Consolas, monospace; background: #f1f1f4; padding: 0 .2em; }}
table {{ border-collapse: collapse; }}
th, td {{ border: 1px solid #ccd; padding: .25em .5em; text-align: left; vertical-align: top; }}
</style>
</head>
<body>
<h1>Tellwire {html.escape(version)} Help</h1>
<ul>
{contents}
</ul>
{body}
</body>
</html>
"""
    with open(out_path, "w", encoding="utf-8", newline="\r\n") as f:
        f.write(page)


if __name__ == "__main__":
    main()
