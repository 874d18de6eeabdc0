/* The body of a layer's link check (cmake/layers.cmake): the layer's own
   objects are what is linked. */
int layer_check;
