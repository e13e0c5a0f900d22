  	v 1e3 -2E-2 +.5

v nan inf -inf
# c
facet 1 2 1