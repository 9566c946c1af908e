#!/usr/bin/env python3
"""The translations against the program: the template holds every text the sources mark, and each
catalogue holds every text of the template (no more: nothing stale), translated, not fuzzy, with
the same placeholders, access key, line breaks and edge spaces, and its plural forms."""
import ast
import re
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
LANG = ROOT / "data" / "lang"
PLACEHOLDER = re.compile(r"%[1-9]")


def entries(path):
    """(context, id) -> {"plural": str|None, "strs": [str], "fuzzy": bool} of a .po/.pot file."""
    result, fields, fuzzy, field = {}, {}, False, None

    def close():
        nonlocal fields, fuzzy
        if "msgid" in fields:
            strs = [fields[k] for k in sorted(k for k in fields if k.startswith("msgstr"))]
            result[(fields.get("msgctxt"), fields["msgid"])] = {
                "plural": fields.get("msgid_plural"), "strs": strs, "fuzzy": fuzzy}
        fields, fuzzy = {}, False

    for line in path.read_text(encoding="utf-8").splitlines():
        line = line.strip()
        if not line:
            close()
        elif line.startswith("#,"):
            fuzzy = "fuzzy" in line
        elif line.startswith("#"):
            continue
        elif line.startswith('"'):
            fields[field] += ast.literal_eval(line)
        else:
            m = re.match(r'(msgctxt|msgid_plural|msgid|msgstr(?:\[\d+\])?)\s+(".*")$', line)
            if not m:
                raise ValueError(f"{path}: cannot read line {line!r}")
            field = m.group(1)
            fields[field] = ast.literal_eval(m.group(2))
    close()
    return result


def shape(text):
    """What a translation must keep of its English text."""
    return (
        sorted(PLACEHOLDER.findall(text)),
        text.count("&") - 2 * text.count("&&"),
        text.count("\n"),
        len(text) - len(text.lstrip(" ")),
        len(text) - len(text.rstrip(" ")),
    )


def main():
    problems = []
    check = subprocess.run([str(ROOT / "scripts" / "update-catalogues.sh"), "--check"], capture_output=True, text=True)
    if check.returncode != 0:
        problems.append("the template is not up to date with the sources:\n" + check.stderr[-3000:])
    template = {k: v for k, v in entries(LANG / "clutterix.pot").items() if k[1]}
    catalogues = sorted(LANG.glob("*.po"))
    if len(catalogues) < 12:
        problems.append(f"only {len(catalogues)} catalogues")
    for po in catalogues:
        have = entries(po)
        header = have.pop((None, ""), {"strs": [""]})["strs"][0]
        for field in ("Language:", "X-Language-Name:", "Plural-Forms:"):
            if field not in header:
                problems.append(f"{po.name}: no {field} in its header")
        m = re.search(r"nplurals\s*=\s*(\d+)", header)
        nplurals = int(m.group(1)) if m else 0
        for key in sorted(template.keys() - have.keys(), key=str):
            problems.append(f"{po.name}: missing {key}")
        for key in sorted(have.keys() - template.keys(), key=str):
            problems.append(f"{po.name}: stale {key}")
        for key in sorted(template.keys() & have.keys(), key=str):
            entry, english = have[key], template[key]
            where = f"{po.name}: {key[1]!r}" + (f" ({key[0]})" if key[0] else "")
            if entry["fuzzy"]:
                problems.append(f"{where} is marked fuzzy")
            if english["plural"] is not None and len(entry["strs"]) != nplurals:
                problems.append(f"{where} has {len(entry['strs'])} forms, the language {nplurals}")
            for text in entry["strs"]:
                if not text:
                    problems.append(f"{where} is not translated")
                elif shape(text) != shape(key[1]) and shape(text) != shape(english["plural"] or key[1]):
                    problems.append(f"{where}: {text!r} differs in placeholders, '&', line breaks or edge spaces")
    for p in problems:
        print(p, file=sys.stderr)
    print(f"catalogues: {len(catalogues)} checked against {len(template)} texts; {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
