# make run: install what is missing, build, play. make test: install, build, run every test.
BUILD ?= build
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)

# Debian packages the build, the tests and the game need (the X ones: the end-to-end
# test plays the real game on a virtual display, clicks and types with xdotool, takes
# screenshots with ImageMagick's import, and reads the frames that openbox puts around
# the windows with xprop and xwininfo).
PACKAGES := cmake g++ make pkg-config git \
  qt6-base-dev qt6-multimedia-dev libgl-dev zlib1g-dev \
  libgtest-dev libgmock-dev nlohmann-json3-dev libxcb1-dev \
  fonts-dejavu-core libqt6multimedia6 \
  xvfb xauth xdotool imagemagick openbox x11-utils

SUDO := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

.PHONY: run test build deps clean

run: build
	$(BUILD)/zembo/bin/zembo

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ZEMBO_SILENT_AUDIO=1 ctest --output-on-failure -j $(JOBS) --timeout 300

build: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

deps:
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; \
	fi

clean:
	rm -rf $(BUILD)
