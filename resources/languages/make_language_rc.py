#!/usr/bin/env python3
"""Writes a language's resource script from its text file, numbered as
english_texts.inc numbers the texts; or, with --pseudo, a pseudo-language
made from English (accented letters, 40% longer, in brackets) that shows
texts not taken from the table and layouts that cut.

Use: make_language_rc.py TABLE (LANGUAGE.txt | --pseudo) OUTPUT.rc"""
import re
import sys

TEXT = re.compile(r'^CHIMEWATCH_TEXT\((\w+), (\w+), "(.*)"\)$')
ENTRY = re.compile(r'^(\w+) = (.*)$')
ACCENTED = dict(zip("aceinouyACEINOUY", "àçéîñöûýÀÇÉÎÑÖÛÝ"))


def english(table_path):
    texts = {}
    with open(table_path, encoding="utf-8") as table:
        for line in table:
            match = TEXT.match(line.rstrip("\n"))
            if match:
                # As a language file writes it: a quote plain, not escaped.
                texts[match.group(1) + match.group(2)] = match.group(3).replace('\\"', '"')
    return texts


def translated(language_path, names):
    texts = {}
    with open(language_path, encoding="utf-8-sig") as language:
        for number, line in enumerate(language, 1):
            line = line.rstrip("\r\n")
            if not line.strip() or line.startswith("#"):
                continue
            match = ENTRY.match(line)
            if not match or match.group(1) not in names or match.group(1) in texts:
                sys.exit(f"{language_path}:{number}: not a text of the table, or one given twice: {line}")
            texts[match.group(1)] = match.group(2)
    return texts


def pseudo(text):
    forms = []
    for form in text.split("|"):
        # Escapes and %1 stay as they are; letters take accents.
        parts = re.split(r'(\\[rn\\]|%\d)', form)
        body = "".join(p if p.startswith(("\\", "%")) else "".join(ACCENTED.get(c, c) for c in p) for p in parts)
        forms.append("[" + body + " " + "·" * max(1, (len(form) * 2 + 4) // 5) + "]")
    return "|".join(forms)


def main():
    table_path, source, output = sys.argv[1:4]
    names = english(table_path)
    texts = {name: pseudo(text) for name, text in names.items()} if source == "--pseudo" \
        else translated(source, names)
    with open(output, "w", encoding="utf-8") as rc:
        rc.write("#pragma code_page(65001)\nLANGUAGE 0, 0\nSTRINGTABLE\nBEGIN\n")
        for number, name in enumerate(names, 1):
            if name in texts:
                quoted = texts[name].replace('"', '""')
                rc.write(f'  {number}, "{quoted}"\n')
        rc.write("END\n")


main()
