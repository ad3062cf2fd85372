"""libphonenumber's Chinese mobile data, as the generators of this folder read it."""

import re
import sys

MOBILE = re.compile(r"^861[3-9]\d*$")


def load(package_dir):
    """Returns (carrier, geocode): national mobile prefix -> Chinese name, for China only."""
    sys.path.insert(0, package_dir)
    from phonenumbers.carrierdata import CARRIER_DATA
    from phonenumbers.geodata import GEOCODE_DATA

    def chinese(data):
        return {key[2:]: names["zh"] for key, names in data.items() if MOBILE.match(key) and "zh" in names}

    return chinese(CARRIER_DATA), chinese(GEOCODE_DATA)
