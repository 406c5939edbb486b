"""The web address that Kelpo's pictures print: the maker's home page as the
program opens it, read from ui/WebAddresses.h, without its scheme. A packager
who sets the real address there reruns make_artwork.py, and the pictures
follow."""

import os
import re

HEADER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "ui", "WebAddresses.h")


def printed_address(header=HEADER):
    with open(header, encoding="utf-8") as source:
        text = source.read()
    found = re.search(r'HomePageAddress\[\]\s*=\s*"(?:https?://)?([^"]+)"', text)
    if not found:
        raise ValueError(f"no HomePageAddress in {header}")
    return found.group(1)


WEB_ADDRESS = printed_address()
